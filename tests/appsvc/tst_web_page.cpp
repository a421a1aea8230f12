// Opening web pages: the address reaches whatever stands in for the browser, the guard
// puts the previous one back, and only web addresses are handed on.

#include "platform/web_page.h"

#include <QTest>

#include <optional>

class TestWebPage : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void addressReachesTheOpener_data()
    {
        QTest::addColumn<QUrl>("address");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("home page, desktop accepts")
            << QUrl(QStringLiteral("http://www.example.com/index_e.html")) << true;
        QTest::newRow("help page, desktop refuses")
            << QUrl(QStringLiteral("http://www.example.com/pivora/pivora.html")) << false;
        QTest::newRow("secure address") << QUrl(QStringLiteral("https://www.example.com/index_j.html")) << true;
    }
    void addressReachesTheOpener()
    {
        QFETCH(QUrl, address);
        QFETCH(bool, accepted);
        QList<QUrl> opened;
        const platform::ScopedWebPageOpener browser([&](const QUrl& url) {
            opened << url;
            return accepted;
        });
        QCOMPARE(platform::OpenWebPage(address), accepted);
        QCOMPARE(opened, QList<QUrl>{address});
    }

    void onlyWebAddressesAreOpened_data()
    {
        QTest::addColumn<QUrl>("address");
        QTest::newRow("local file") << QUrl(QStringLiteral("file:///etc/passwd"));
        QTest::newRow("mail") << QUrl(QStringLiteral("mailto:someone@example.com"));
        QTest::newRow("no host") << QUrl(QStringLiteral("http:///index_e.html"));
        QTest::newRow("empty") << QUrl();
        QTest::newRow("relative") << QUrl(QStringLiteral("index_e.html"));
    }
    void onlyWebAddressesAreOpened()
    {
        QFETCH(QUrl, address);
        int calls = 0;
        const platform::ScopedWebPageOpener browser([&](const QUrl&) {
            ++calls;
            return true;
        });
        QVERIFY(!platform::OpenWebPage(address));
        QCOMPARE(calls, 0);
    }

    void guardsRestoreThePreviousOpener()
    {
        const QUrl address(QStringLiteral("http://www.example.com/"));
        QStringList calls;
        const platform::ScopedWebPageOpener outer([&](const QUrl&) {
            calls << QStringLiteral("outer");
            return true;
        });
        {
            const platform::ScopedWebPageOpener inner([&](const QUrl&) {
                calls << QStringLiteral("inner");
                return false;
            });
            QVERIFY(!platform::OpenWebPage(address));
        }
        QVERIFY(platform::OpenWebPage(address));
        QCOMPARE(calls, (QStringList{QStringLiteral("inner"), QStringLiteral("outer")}));
    }
};

QTEST_GUILESS_MAIN(TestWebPage)
#include "tst_web_page.moc"
