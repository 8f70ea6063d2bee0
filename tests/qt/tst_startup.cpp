#include "testing.h"

#include "key/answerkey.h"
#include "window/startup.h"

#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QStringEncoder>
#include <QTest>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

class TestStartup : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Start-up
    void keyPresent();
    void keyMissing();
    void keyWrittenWhileTheMessageIsOpen();
    void directoryAtTheKeyPath();
    void browserChoice_data();
    void browserChoice();
    void browserPathInTheWorkingDirectory();
    void failedLaunchIsIgnored();
    // The key load
    void keyPath_data();
    void keyPath();
    void load_data();
    void load();
    void loadWithADirectoryAtThePath();
    void loadOfAnUnreadableFile();
    void hugeLineDoesNotStallTheLoad();
};

namespace {

QStringList keyLines(int n)
{
    QStringList lines;
    for (int i = 0; i < n; ++i)
        lines.append(QStringLiteral("L%1ABC").arg(i, 2, 10, QLatin1Char('0')));
    return lines;
}

// 33 items: the given ones, then empty ones.
QStringList padded(QStringList first)
{
    while (first.size() < 33)
        first.append(QString());
    return first;
}

} // namespace

// Start-up

void TestStartup::keyPresent()
{
    TestForm test;
    test.show();
    QVERIFY(test.services.messages.isEmpty());
    QCOMPARE(test->List1.count(), 33);
    QCOMPARE(test->List1.item(0), u"ACABD"_qs);
    QVERIFY(!widgetOf(test->List1)->isVisible());
    QCOMPARE(qobject_cast<QListWidget *>(widgetOf(test->List1))->count(), 33);
    // The browser starts once the window has painted, without a message to wait for.
    QVERIFY(test.services.urls.isEmpty());
    QTRY_COMPARE(test.services.urls, QStringList{toQString(MakerAddress)});
    QVERIFY(test.services.programs.isEmpty());
}

void TestStartup::keyMissing()
{
    TestForm test(std::nullopt);
    test.show();
    QCOMPARE(test.services.messages.size(), 1);
    const FakeServices::Message &message = test.services.messages.first();
    QCOMPARE(message.text, u"未找到“答案.txt”请在根目录下自行编辑后再加载。"_qs);
    QCOMPARE(message.title, u"QuillmarkV1.0"_qs);
    QVERIFY(!message.windowShown);
    QCOMPARE(message.launchesBefore, 1); // the browser first, as ever
    QVERIFY(test.window->isVisible());
    QCOMPARE(test->List1.count(), 0);
}

void TestStartup::keyWrittenWhileTheMessageIsOpen()
{
    TestForm test(std::nullopt);
    test.services.whileMessageOpen = [&test] {
        QFile file(test.keyPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(keyFileBytes({u"ABCDA"_qs}));
    };
    test.show();
    QCOMPARE(test.services.messages.size(), 1);
    QCOMPARE(items(*test), padded({u"ABCDA"_qs}));
}

void TestStartup::directoryAtTheKeyPath()
{
    TestForm test(std::nullopt);
    QVERIFY(QDir().mkdir(test.keyPath()));
    test.show();
    QCOMPARE(test.services.messages.size(), 1);
    QCOMPARE(test->List1.count(), 0);
}

void TestStartup::browserChoice_data()
{
    QTest::addColumn<bool>("onWindows");
    QTest::addColumn<bool>("installed");
    QTest::addColumn<QString>("commandLine");
    QTest::newRow("Windows with the browser")
        << true << true
        << u"C:\\\\Program Files\\\\Internet Explorer\\\\IEXPLORE.exe https://quillmark.example"_qs;
    QTest::newRow("Windows without it") << true << false << QString();
    QTest::newRow("elsewhere, a file of that name") << false << true << QString();
    QTest::newRow("elsewhere") << false << false << QString();
}

void TestStartup::browserChoice()
{
    QFETCH(bool, onWindows);
    QFETCH(bool, installed);
    QFETCH(QString, commandLine);
    QCOMPARE(browserCommandLine(onWindows, installed), commandLine);
}

void TestStartup::browserPathInTheWorkingDirectory()
{
    // Off Windows the browser's path is a plain file name: one in the working directory changes nothing.
    QTemporaryDir cwd;
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(cwd.path()));
    QFile browser(toQString(BrowserPath));
    QVERIFY(browser.open(QIODevice::WriteOnly));
    browser.close();

    TestForm test;
    test.show();
    QDir::setCurrent(previous);
    QTRY_COMPARE(test.services.urls, QStringList{toQString(MakerAddress)});
    QVERIFY(test.services.programs.isEmpty());
}

void TestStartup::failedLaunchIsIgnored()
{
    TestForm test;
    test.services.launchesSucceed = false;
    test.show();
    QVERIFY(test.window->isVisible());
    QCOMPARE(test->List1.count(), 33);
}

// The key load

void TestStartup::load_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("items");

    QTest::newRow("34 lines give lines 2 to 34") << keyFileBytes(keyLines(33)) << keyLines(33);
    QTest::newRow("more lines are ignored") << keyFileBytes(keyLines(40)) << keyLines(33);
    QTest::newRow("a short file leaves the rest empty")
        << keyFileBytes({u"ABCDA"_qs, u"BBBBB"_qs}) << padded({u"ABCDA"_qs, u"BBBBB"_qs});
    QTest::newRow("header only") << QByteArray("header\r\n") << padded({});
    QTest::newRow("empty file") << QByteArray() << padded({});
    QTest::newRow("Chinese answers in GBK") << keyFileBytes({u"甲乙丙丁戊"_qs}) << padded({u"甲乙丙丁戊"_qs});
    QTest::newRow("UTF-8 without a mark") << keyFileBytes({u"甲乙AB"_qs}, "UTF-8") << padded({u"甲乙AB"_qs});
    QTest::newRow("UTF-8 with a mark")
        << "\xEF\xBB\xBF" + keyFileBytes({u"甲乙AB"_qs}, "UTF-8") << padded({u"甲乙AB"_qs});
    QTest::newRow("LF line ends") << QByteArray("h\nABCDA\nDCBAD\n") << padded({u"ABCDA"_qs, u"DCBAD"_qs});
    QTest::newRow("a line of two answers")
        << keyFileBytes({u"AB"_qs, u"CDABC"_qs}) << padded({u"AB"_qs, u"CDABC"_qs});
    QTest::newRow("binary") << QByteArray("\x00\xFF\x81\x30\x10\x01", 6) << padded({});
}

void TestStartup::load()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, items);
    TestForm test(bytes);
    test.show();
    QCOMPARE(::items(*test), items);
}

void TestStartup::keyPath_data()
{
    QTest::addColumn<QString>("directory");
    QTest::addColumn<QString>("path");
    QTest::newRow("a folder") << u"/opt/quillmark"_qs << u"/opt/quillmark/答案.txt"_qs;
    QTest::newRow("the root") << u"/"_qs << u"/答案.txt"_qs;
    QTest::newRow("a drive's root") << u"C:/"_qs << u"C:/答案.txt"_qs;
    QTest::newRow("a folder on a drive") << u"C:/Quillmark"_qs << u"C:/Quillmark/答案.txt"_qs;
}

void TestStartup::keyPath()
{
    QFETCH(QString, directory);
    QFETCH(QString, path);
    QCOMPARE(answerKeyPath(platform::qt::toU16String(directory)), path);
}

void TestStartup::loadWithADirectoryAtThePath()
{
    // Something exists at the path but cannot be read: every key line counts as unread.
    TestForm test(std::nullopt);
    QVERIFY(QDir().mkdir(test.keyPath()));
    LoadAnswerKey(*test);
    QCOMPARE(items(*test), padded({}));
}

void TestStartup::loadOfAnUnreadableFile()
{
#ifdef Q_OS_UNIX
    if (geteuid() == 0)
        QSKIP("root reads every file");
#endif
    TestForm test(keyFileBytes({u"ABCDA"_qs}));
    QVERIFY(QFile::setPermissions(test.keyPath(), QFileDevice::Permissions{}));
    test.show();
    QCOMPARE(items(*test), padded({}));
}

void TestStartup::hugeLineDoesNotStallTheLoad()
{
    QByteArray bytes = "h\r\n" + QByteArray(50 * 1000 * 1000, 'A') + "\r\nBCDAB\r\n";
    TestForm test(bytes);
    bytes.clear();
    test.show();
    QCOMPARE(test->List1.item(0).size(), 1024u);
    QCOMPARE(test->List1.item(1), u"BCDAB"_qs);
    QCOMPARE(test->List1.item(2), QString());
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
