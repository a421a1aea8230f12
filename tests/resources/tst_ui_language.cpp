// The UI language follows the locale: run once under a Japanese and once under an English
// locale (TURNWISE_EXPECT_UI says which), the texts without a language argument follow it.

#include "platform/message_box.h"
#include "platform/ui_language.h"
#include "resources/messages.h"
#include "resources/strings.h"

#include <QTest>

#include <optional>

using namespace Qt::StringLiterals;
using platform::UiLanguage;

class TestUiLanguage : public QObject {
    Q_OBJECT

private:
    bool m_japanese = false;

private Q_SLOTS:
    void initTestCase()
    {
        const QByteArray expected = qgetenv("TURNWISE_EXPECT_UI");
        if (expected != "ja" && expected != "en")
            QSKIP("TURNWISE_EXPECT_UI is not set; CTest runs this with a Japanese and an English locale");
        m_japanese = expected == "ja";
    }

    void systemLanguage()
    {
        QCOMPARE(platform::SystemUiLanguage(), m_japanese ? UiLanguage::Japanese : UiLanguage::English);
    }

    void textsFollowTheLocale()
    {
        QCOMPARE(resources::AppTitle(), m_japanese ? u"ターンワイズ"_s : u"Brantmoor Turnwise"_s);
        QCOMPARE(resources::Text(resources::kMsgProcessCompleted),
                 m_japanese ? u"処理が完了しました。"_s : u"The process has been completed."_s);
        QCOMPARE(resources::LoadString(resources::kIdsRotate90), m_japanese ? u"90度回転"_s : u"Rotate 90"_s);
    }

    void messageBoxFollowsTheLocale()
    {
        std::optional<platform::MessageRequest> seen;
        platform::ScopedMessageBox box([&](const platform::MessageRequest& request) {
            seen = request;
            return platform::MessageAnswer::Yes;
        });
        QVERIFY(resources::AskQuestion(resources::kMsgConfirmExit));
        QVERIFY(seen.has_value());
        QCOMPARE(seen->id, m_japanese ? 138 : 147);
        QCOMPARE(seen->text, m_japanese ? u"終了しますか？"_s : u"Are you sure to exit?"_s);
        QCOMPARE(seen->caption, m_japanese ? u"ターンワイズ"_s : u"Brantmoor Turnwise"_s);
    }
};

QTEST_GUILESS_MAIN(TestUiLanguage)
#include "tst_ui_language.moc"
