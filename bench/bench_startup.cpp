#include "testing.h"

#include <QTest>

// The window's construction and its load with a full key, up to the moment it shows.
class BenchStartup : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void constructAndLoad();
};

void BenchStartup::constructAndLoad()
{
    QStringList lines;
    for (int i = 0; i < 33; ++i)
        lines.append(QStringLiteral("ABCDA"));
    const QByteArray key = keyFileBytes(lines);
    QBENCHMARK
    {
        TestForm test(key);
        test.show();
        QCOMPARE(test->List1.count(), 33);
    }
}

QTEST_MAIN(BenchStartup)
#include "bench_startup.moc"
