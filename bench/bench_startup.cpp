#include "qtdriver.h"

#include <QTest>

// The window's construction and its load with a full key, up to the moment it shows.
class BenchStartup : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void constructAndLoad();
};

void BenchStartup::constructAndLoad()
{
    const std::string key = keyFileBytes(std::vector<std::string>(33, "ABCDA"));
    QBENCHMARK
    {
        TestForm test(key);
        test.show();
        QCOMPARE(test->List1.count(), 33);
    }
}

QTEST_MAIN(BenchStartup)
#include "bench_startup.moc"
