#include "testing.h"

#include "key/answerkey.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

// Every bad input the user or the key file can give, through the real window: the program keeps running, each
// action leads to the phase it should, and no answer already typed changes unless a new sheet replaces it.
class TestCatalogue : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void countInEveryPhase_data();
    void countInEveryPhase();
    void minutesInEveryPhase_data();
    void minutesInEveryPhase();
    void oddKeyFiles_data();
    void oddKeyFiles();
    void examWritesNothing();
};

namespace {

const QStringList Typed{u"A"_qs, u"B"_qs, u"丙"_qs, QString(), u"E"_qs};

// Ready with a sheet of five boxes holding Typed.
void readyWithAnswers(TestForm &test)
{
    type(test->Text1, QStringLiteral("5"));
    click(test->Command1);
    for (int i = 0; i < Typed.size(); ++i)
        if (!Typed[i].isEmpty())
            type(test->Text2[i + 1], Typed[i]);
}

// Ready again after a whole exam on that sheet, whose boxes are now locked.
void readyAfterRestart(TestForm &test)
{
    readyWithAnswers(test);
    click(test->Command3);
    click(test->Command4);
    click(test->Command2);
    click(test->Command5);
}

// Runs check in a window brought to each phase in which the count and the minutes can be typed, with the
// phase as it was before the check.
template <class Check> void inEveryReadyPhase(Check check)
{
    using Setup = void (*)(TestForm &);
    const std::pair<const char *, Setup> phases[] = {
        {"first Ready", readyWithAnswers},
        {"Ready after Restart", readyAfterRestart},
    };
    for (const auto &[name, setup] : phases) {
        qDebug("%s", name);
        TestForm test(keyFileBytes({u"ABCDE"_qs}));
        test.show();
        setup(test);
        if (QTest::currentTestFailed())
            return;
        check(test, phaseOf(*test));
        if (QTest::currentTestFailed())
            return;
    }
}

// Start, one tick, Hand in and Results: the rest of an exam, whatever came before.
void finishExam(TestForm &test)
{
    type(test->Text2[0], QStringLiteral("130"));
    click(test->Command3);
    QCOMPARE(phaseOf(*test).startsWith(QStringLiteral("HandIn clock")), true);
    QVERIFY(tick(test, 800));
    click(test->Command4);
    QCOMPARE(phaseOf(*test), HandedIn);
    click(test->Command2);
    QCOMPARE(phaseOf(*test), Graded);
}

} // namespace

// The question count

void TestCatalogue::countInEveryPhase_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("boxes"); // -1: refused, the sheet stays

    for (const auto &[name, text] : notANumberTexts())
        QTest::newRow(name) << text << -1;
    QTest::newRow("-0") << "-0" << 0;
    QTest::newRow("decimal comma") << "2,5" << -1;
    QTest::newRow("space inside") << "1 2" << -1;
    QTest::newRow("full-width digits") << u"１３０"_qs << 130;
    QTest::newRow("ideographic spaces") << u"\u3000７\u3000"_qs << 7;
    QTest::newRow("full-width minus") << u"－３"_qs << 0;
    QTest::newRow("underflow") << "5e-400" << 0;
    QTest::newRow("at the element limit") << "32767" << 32767;
    QTest::newRow("a fraction below the limit") << "32767.9" << 32767;
    QTest::newRow("just past the limit") << "32768" << -1;
    QTest::newRow("far past the limit") << "1e9" << -1;
    QTest::newRow("far below zero") << "-1e300" << 0;
}

void TestCatalogue::countInEveryPhase()
{
    QFETCH(QString, text);
    QFETCH(int, boxes);
    inEveryReadyPhase([&](TestForm &test, const QString &before) {
        type(test->Text1, text);
        click(test->Command1);
        if (boxes < 0) {
            QCOMPARE(answers(*test), Typed);
            QCOMPARE(phaseOf(*test), before);
            QCOMPARE(test.services.beeps, 1);
        } else {
            QCOMPARE(test->Text2.count(), boxes + 1);
            QCOMPARE(phaseOf(*test), boxes > 0 ? ReadyWithSheet : Ready);
        }

        // The count stays in its box and reaches grading too.
        const QStringList kept = answers(*test);
        finishExam(test);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(answers(*test), kept);
        QVERIFY(test.window->isVisible());
    });
}

// The minutes

void TestCatalogue::minutesInEveryPhase_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("starts");

    for (const auto &[name, text] : notANumberTexts())
        QTest::newRow(name) << text << false;
    QTest::newRow("-0") << "-0" << true;
    QTest::newRow("full-width digits") << u"１３０"_qs << true;
    QTest::newRow("ideographic spaces") << u"\u3000１\u3000"_qs << true;
    QTest::newRow("negative") << u"－１"_qs << true;
    QTest::newRow("underflow") << "1e-400" << true;
    QTest::newRow("at the clock's limit") << "35791" << true;
    QTest::newRow("past the clock's limit") << "35792" << false;
    QTest::newRow("past the 32-bit limit") << "35791394.2" << false;
    QTest::newRow("at the negative limit") << "-35791394.1" << true;
    QTest::newRow("past the negative limit") << "-35791394.2" << false;
}

void TestCatalogue::minutesInEveryPhase()
{
    QFETCH(QString, text);
    QFETCH(bool, starts);
    inEveryReadyPhase([&](TestForm &test, const QString &before) {
        type(test->Text2[0], text);
        click(test->Command3);
        QCOMPARE(answers(*test), Typed);
        if (!starts) {
            QCOMPARE(phaseOf(*test), before);
            QCOMPARE(test.services.beeps, 1);
            return;
        }
        QVERIFY(phaseOf(*test).startsWith(QStringLiteral("HandIn clock")));
        for (const qint64 elapsed : {qint64(800), qint64(60'000), qint64(4'000'000'000)})
            tick(test, elapsed);
        click(test->Command4);
        QCOMPARE(phaseOf(*test), HandedIn);
        click(test->Command2);
        QCOMPARE(phaseOf(*test), Graded);
        QCOMPARE(answers(*test), Typed);
    });
}

// The key file

void TestCatalogue::oddKeyFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("special"); // something other than a file of those bytes at the key path
    QTest::addColumn<int>("items");

    QByteArray binary;
    quint32 seed = 12345;
    for (int i = 0; i < 4096; ++i) {
        seed = seed * 1103515245 + 12345;
        binary.append(char(seed >> 24));
    }
    QTest::newRow("empty") << QByteArray() << "" << 33;
    QTest::newRow("header only") << QByteArray("header") << "" << 33;
    QTest::newRow("binary") << binary << "" << 33;
    QTest::newRow("one line of 50 MB") << QByteArray(50'000'000, 'A') << "" << 33;
    // No byte-order mark: FF FF starts none, so these bytes reach the GBK decoder.
    QTest::newRow("invalid GBK") << QByteArray("\xff\xff\xfe\r\n\x81\x20\x80\xff\r\n") << "" << 33;
    QTest::newRow("byte-order mark and nothing after") << QByteArray("\xEF\xBB\xBF") << "" << 33;
    QTest::newRow("without read permission") << keyFileBytes({u"ABCDE"_qs}) << "unreadable" << 33;
    QTest::newRow("a directory") << QByteArray() << "directory" << 0;
#ifdef Q_OS_UNIX
    QTest::newRow("a pipe") << QByteArray() << "fifo" << 0;
    QTest::newRow("a link to an endless device") << QByteArray() << "/dev/zero" << 0;
    QTest::newRow("a link to nothing") << QByteArray() << "dangling" << 0;
#endif
}

void TestCatalogue::oddKeyFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, special);
    QFETCH(int, items);

    TestForm test(
        special.isEmpty() || special == QLatin1String("unreadable") ? std::optional(bytes) : std::nullopt);
    const QByteArray path = QFile::encodeName(test.keyPath());
    if (special == QLatin1String("unreadable"))
        QVERIFY(QFile::setPermissions(test.keyPath(), QFileDevice::Permissions{}));
    else if (special == QLatin1String("directory"))
        QVERIFY(QDir().mkdir(test.keyPath()));
#ifdef Q_OS_UNIX
    else if (special == QLatin1String("fifo"))
        QCOMPARE(mkfifo(path.constData(), 0600), 0);
    else if (special == QLatin1String("/dev/zero"))
        QCOMPARE(symlink("/dev/zero", path.constData()), 0);
    else if (special == QLatin1String("dangling"))
        QCOMPARE(symlink("nowhere", path.constData()), 0);
#endif

    test.show();
    QVERIFY(test.window->isVisible());
    QCOMPARE(test->List1.count(), items);
    QCOMPARE(test.services.messages.size(), items == 0 ? 1 : 0);
    for (int i = 0; i < items; ++i)
        QVERIFY(test->List1.item(i).size() <= 1024);

    readyWithAnswers(test);
    finishExam(test);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(answers(*test), Typed);
}

// Nothing is written

namespace {

// Every entry below dir with its size, time and content.
QStringList snapshot(const QString &dir)
{
    QStringList entries;
    QDirIterator it(dir, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
        QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        QByteArray hash;
        if (QFile file(info.filePath()); info.isFile() && file.open(QIODevice::ReadOnly))
            hash = QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex();
        entries.append(
            QStringLiteral("%1 %2 %3 %4")
                .arg(QDir(dir).relativeFilePath(info.filePath()))
                .arg(info.size())
                .arg(info.lastModified().toUTC().toString(Qt::ISODateWithMs), QString::fromLatin1(hash)));
    }
    entries.sort();
    return entries;
}

} // namespace

void TestCatalogue::examWritesNothing()
{
    TestForm test(keyFileBytes({u"ABCDE"_qs}));
    QVERIFY(QDir(test.dir.path()).mkdir(QStringLiteral("notes")));
    const QStringList before = snapshot(test.dir.path());
    QCOMPARE(before.size(), 2);

    test.show();
    readyWithAnswers(test);
    click(test->Command3);
    QVERIFY(tick(test, 800));
    QVERIFY(tick(test, 100'000'000)); // time-out
    click(test->Command4);
    click(test->Command2);
    click(test->Command5);
    click(test->Command1);
    test.close(); // the window closes

    QCOMPARE(snapshot(test.dir.path()), before);
}

QTEST_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
