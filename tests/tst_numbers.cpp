#include "platform/numbers.h"

#include <QTest>

#include <cmath>
#include <limits>

using platform::intDiv;
using platform::intMod;
using platform::numericValue;
using platform::toInt32;

class TestNumbers : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void numericValue_data();
    void numericValue();
    void notANumber_data();
    void notANumber();
    void negativeZeroKeepsItsSign();
    void toInt32_data();
    void toInt32();
    void integerOperations_data();
    void integerOperations();
    void integerOperationFailures();
    void numberText_data();
    void numberText();
};

// Text that reads as a number

void TestNumbers::numericValue_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");

    QTest::newRow("whole") << "130" << 130.0;
    QTest::newRow("fraction") << "0.51" << 0.51;
    QTest::newRow("leading point") << ".5" << 0.5;
    QTest::newRow("trailing point") << "5." << 5.0;
    QTest::newRow("plus sign") << "+7" << 7.0;
    QTest::newRow("minus sign") << "-3.25" << -3.25;
    QTest::newRow("exponent") << "1.5e3" << 1500.0;
    QTest::newRow("capital exponent with sign") << "25E-1" << 2.5;
    QTest::newRow("spaces around") << "  42\t" << 42.0;
    QTest::newRow("ideographic spaces around") << u"\u3000134\u3000"_qs << 134.0;
    QTest::newRow("full-width digits") << u"１３０"_qs << 130.0;
    QTest::newRow("full-width sign and point") << u"－０．５"_qs << -0.5;
    QTest::newRow("leading zeros") << "007" << 7.0;
    QTest::newRow("largest double") << "1.7976931348623157e308" << std::numeric_limits<double>::max();
    QTest::newRow("underflow reads as zero") << "1e-400" << 0.0;
    QTest::newRow("long underflow without exponent") << u"0."_qs + QString(400, u'0') + u"1"_qs << 0.0;
}

void TestNumbers::numericValue()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    const auto result = ::numericValue(text);
    QVERIFY(result.has_value());
    QCOMPARE(*result, value);
}

void TestNumbers::notANumber_data()
{
    QTest::addColumn<QString>("text");

    QTest::newRow("empty") << "";
    QTest::newRow("spaces only") << "   ";
    QTest::newRow("letters") << "abc";
    QTest::newRow("trailing letter") << "12a";
    QTest::newRow("overflow") << "1e400";
    QTest::newRow("overflow without exponent") << QString(400, u'9');
    QTest::newRow("overflow with negative exponent") << QString(400, u'9') + u"e-5"_qs;
    QTest::newRow("nan") << "nan";
    QTest::newRow("inf") << "inf";
    QTest::newRow("hexadecimal") << "0x10";
    QTest::newRow("comma") << ",";
    QTest::newRow("decimal comma") << "1,5";
    QTest::newRow("point alone") << ".";
    QTest::newRow("sign alone") << "-";
    QTest::newRow("two signs") << "+-1";
    QTest::newRow("exponent without digits") << "1e";
    QTest::newRow("space inside") << "1 0";
    QTest::newRow("Chinese numeral") << u"十"_qs;
}

void TestNumbers::notANumber()
{
    QFETCH(QString, text);
    QVERIFY(!::numericValue(text).has_value());
}

void TestNumbers::negativeZeroKeepsItsSign()
{
    const auto value = ::numericValue(u"-0");
    QVERIFY(value.has_value());
    QCOMPARE(*value, 0.0);
    QVERIFY(std::signbit(*value));
}

// Rounding into the 32-bit range

void TestNumbers::toInt32_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<qint32>("expected");

    QTest::newRow("half to even, down") << 2.5 << 2;
    QTest::newRow("half to even, up") << 3.5 << 4;
    QTest::newRow("negative half to even") << -2.5 << -2;
    QTest::newRow("29.6 rounds up") << 29.6 << 30;
    QTest::newRow("largest") << 2147483647.0 << 2147483647;
    QTest::newRow("largest plus a fraction") << 2147483647.4 << 2147483647;
    QTest::newRow("smallest") << -2147483648.0 << qint32(-2147483647 - 1);
    QTest::newRow("smallest minus a half goes to even") << -2147483648.5 << qint32(-2147483647 - 1);
}

void TestNumbers::toInt32()
{
    QFETCH(double, value);
    QFETCH(qint32, expected);
    const auto result = ::toInt32(value);
    QVERIFY(result.has_value());
    QCOMPARE(*result, expected);
}

void TestNumbers::integerOperations_data()
{
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    QTest::addColumn<qint32>("quotient");
    QTest::addColumn<qint32>("remainder");

    QTest::newRow("7799 s: 2 h") << 7799.0 << 3600.0 << 2 << 599;
    QTest::newRow("-1 \\ 3600 = 0, -1 mod 60 = -1") << -1.0 << 3600.0 << 0 << -1;
    QTest::newRow("-101 s") << -101.0 << 60.0 << -1 << -41;
    QTest::newRow("negative divisor") << 7.0 << -2.0 << -3 << 1;
    QTest::newRow("operands rounded first") << 9.5 << 2.5 << 5 << 0; // 10 \ 2, 10 mod 2
}

void TestNumbers::integerOperations()
{
    QFETCH(double, a);
    QFETCH(double, b);
    QFETCH(qint32, quotient);
    QFETCH(qint32, remainder);
    QCOMPARE(intDiv(a, b), std::optional<qint32>(quotient));
    QCOMPARE(intMod(a, b), std::optional<qint32>(remainder));
}

void TestNumbers::integerOperationFailures()
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    QVERIFY(!intDiv(1, 0).has_value());
    QVERIFY(!intMod(1, 0.4).has_value()); // 0.4 rounds to 0
    QVERIFY(!intDiv(2147483648.0, 1).has_value());
    QVERIFY(!intMod(-2147483649.0, 7).has_value());
    QVERIFY(!intDiv(nan, 1).has_value());
    QVERIFY(!intDiv(-2147483648.0, -1).has_value());
    QCOMPARE(intMod(-2147483648.0, -1), std::optional<qint32>(0));
}

// Numbers as text

void TestNumbers::numberText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("negative zero") << -0.0 << "0";
    QTest::newRow("score") << 3.0 << "3";
    QTest::newRow("negative") << -41.0 << "-41";
    QTest::newRow("fraction") << 0.5 << "0.5";
}

void TestNumbers::numberText()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(platform::numberText(value), text);
}

QTEST_APPLESS_MAIN(TestNumbers)
#include "tst_numbers.moc"
