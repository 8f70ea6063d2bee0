#include "platform/textfile.h"

#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

using platform::decodeTextLines;

class TestTextFile : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void decodes_data();
    void decodes();
    void decodesWithoutQtsCodec_data() { decodes_data(); }
    void decodesWithoutQtsCodec();
    void invalidGbkWithoutQtsCodec_data();
    void invalidGbkWithoutQtsCodec();
    void linesAreCutAndTheRestSkipped();
    void cutLineDoesNotChangeTheEncoding();
    void readsNoMoreLinesThanAsked();
    void scanStopsAtTheBudget();
    void directoryAndMissingFileGiveNoLines();
};

namespace {

QByteArray utf16(const QString &text, QStringEncoder::Encoding encoding)
{
    QStringEncoder encoder(encoding, QStringEncoder::Flag::WriteBom);
    return encoder.encode(text);
}

} // namespace

// Encodings and line ends

void TestTextFile::decodes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");

    const QString chinese = u"答案甲乙丙"_qs;
    QTest::newRow("GBK with CR LF")
        << QStringEncoder("GB18030").encode(u"头\r\n答案甲乙丙\r\n"_qs).operator QByteArray()
        << QStringList{u"头"_qs, chinese};
    QTest::newRow("UTF-8 without a mark")
        << (u"头\n"_qs + chinese + u"\n"_qs).toUtf8() << QStringList{u"头"_qs, chinese};
    QTest::newRow("UTF-8 with a mark")
        << "\xEF\xBB\xBF" + (u"头\r\nABCDA"_qs).toUtf8() << QStringList{u"头"_qs, u"ABCDA"_qs};
    QTest::newRow("UTF-16 LE with a mark")
        << utf16(u"头\r\nABCDA\r\n"_qs, QStringEncoder::Utf16LE) << QStringList{u"头"_qs, u"ABCDA"_qs};
    QTest::newRow("UTF-16 BE with a mark")
        << utf16(u"头\nAB\rCD"_qs, QStringEncoder::Utf16BE) << QStringList{u"头"_qs, u"AB"_qs, u"CD"_qs};
    QTest::newRow("lone CR ends a line")
        << QByteArray("h\rABCDA\rBBBBB") << QStringList{u"h"_qs, u"ABCDA"_qs, u"BBBBB"_qs};
    QTest::newRow("LF CR is two ends") << QByteArray("h\n\rA") << QStringList{u"h"_qs, u""_qs, u"A"_qs};
    QTest::newRow("mixed ends") << QByteArray("h\r\nA\nB\rC\r\n")
                                << QStringList{u"h"_qs, u"A"_qs, u"B"_qs, u"C"_qs};
    QTest::newRow("blank lines count") << QByteArray("h\r\n\r\nA") << QStringList{u"h"_qs, u""_qs, u"A"_qs};
    QTest::newRow("empty") << QByteArray() << QStringList{};
    QTest::newRow("mark with nothing after it") << QByteArray("\xEF\xBB\xBF") << QStringList{};
    QTest::newRow("UTF-16 mark with nothing after it") << QByteArray("\xFF\xFE") << QStringList{};
    QTest::newRow("no end on the last line") << QByteArray("h\r\nABCDA") << QStringList{u"h"_qs, u"ABCDA"_qs};
    QTest::newRow("NUL bytes kept") << QByteArray("h\nA\0B", 5)
                                    << QStringList{u"h"_qs, QStringView(u"A\0B", 3).toString()};
    // The decoder drops an incomplete last character: its question simply has no answer.
    QTest::newRow("lone GBK lead byte at the end")
        << QByteArray("h\n\xB4\xF0\xB0") << QStringList{u"h"_qs, u"答"_qs};
    QTest::newRow("invalid UTF-8 means GBK")
        << QByteArray("\xB4\xF0\xB0\xB8\nA") << QStringList{u"答案"_qs, u"A"_qs};
    // Found by fuzzing: the encoding is one for the whole file, decided over every line read.
    QTest::newRow("an invalid byte in a later line makes every line GBK") << QByteArray(
        "\xE7\xAD\x94\xE6\xA1\x88\nA\n\xB4\xF0") << QStringList{u"绛旀\uE50D"_qs, u"A"_qs, u"答"_qs};
    QTest::newRow("odd byte of UTF-16") << QByteArray("\xFF\xFE"
                                                      "A\0B",
        5) << QStringList{u"A\uFFFD"_qs};
}

void TestTextFile::decodes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QCOMPARE(decodeTextLines(bytes, 34), lines);
}

// Where Qt has no GB18030 codec (builds without ICU) the system decodes: the same lines.

void TestTextFile::decodesWithoutQtsCodec()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    platform::setSystemGb18030(true);
    const QStringList decoded = decodeTextLines(bytes, 34);
    platform::setSystemGb18030(false);
    QCOMPARE(decoded, lines);
}

void TestTextFile::invalidGbkWithoutQtsCodec_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("bytes no GBK character starts with") << QByteArray("\xFF\x80"
                                                                      "A")
                                                        << u"\uFFFD\uFFFDA"_qs;
    QTest::newRow("a lead byte before a space") << QByteArray("\x81 A") << u"\uFFFD A"_qs;
    QTest::newRow("a lone lead byte at the end is dropped") << QByteArray("A\xB4") << "A";
}

void TestTextFile::invalidGbkWithoutQtsCodec()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(platform::decodeGb18030(bytes), text);
    platform::setSystemGb18030(true);
    const QString decoded = platform::decodeGb18030(bytes);
    platform::setSystemGb18030(false);
    QCOMPARE(decoded, text);
}

// Bounds

void TestTextFile::linesAreCutAndTheRestSkipped()
{
    const QByteArray bytes = "h\n" + QByteArray(50'000, 'A') + "\nABCDA\n";
    const QStringList lines = decodeTextLines(bytes, 34);
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines[1], QString(platform::MaxLineChars, u'A'));
    QCOMPARE(lines[2], u"ABCDA"_qs);
}

void TestTextFile::cutLineDoesNotChangeTheEncoding()
{
    // A cut through a three-byte UTF-8 character must not make the file look like GBK.
    QByteArray bytes = "h\n" + QByteArray(platform::MaxLineBytes - 1, 'A') + u"答答"_qs.toUtf8() + "\n"
        + u"案"_qs.toUtf8();
    const QStringList lines = decodeTextLines(bytes, 34);
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines[2], u"案"_qs);
}

void TestTextFile::readsNoMoreLinesThanAsked()
{
    QByteArray bytes;
    for (int i = 0; i < 100; ++i)
        bytes += QByteArray::number(i) + "\r\n";
    const QStringList lines = decodeTextLines(bytes, 34);
    QCOMPARE(lines.size(), 34);
    QCOMPARE(lines.last(), u"33"_qs);
}

void TestTextFile::scanStopsAtTheBudget()
{
    // Past the budget nothing more is read: a line beyond it is as absent as one beyond the end.
    const QByteArray bytes = "h\n" + QByteArray(platform::MaxScanBytes, 'A') + "\nABCDA\n";
    const QStringList lines = decodeTextLines(bytes, 34);
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[1].size(), platform::MaxLineChars);
}

void TestTextFile::directoryAndMissingFileGiveNoLines()
{
    QTemporaryDir dir;
    QVERIFY(platform::pathExists(dir.path()));
    QVERIFY(!platform::fileExists(dir.path()));
    QCOMPARE(platform::readTextLines(dir.path(), 34), QStringList{});
    QCOMPARE(platform::readTextLines(dir.filePath(QStringLiteral("none.txt")), 34), QStringList{});
}

QTEST_APPLESS_MAIN(TestTextFile)
#include "tst_textfile.moc"
