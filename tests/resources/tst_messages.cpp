// Message boxes by string id: the title as caption, the text and id of the UI language's
// member of the pair, and only Yes going on after a question.

#include "resources/messages.h"

#include <QTest>

#include <optional>

using namespace Qt::StringLiterals;
using platform::MessageAnswer;
using platform::MessageKind;
using platform::MessageRequest;
using platform::UiLanguage;

Q_DECLARE_METATYPE(platform::UiLanguage)
Q_DECLARE_METATYPE(platform::MessageAnswer)

class TestMessages : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void information_data()
    {
        QTest::addColumn<UiLanguage>("language");
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("text");
        QTest::newRow("Japanese") << UiLanguage::Japanese << 130 << u"ターンワイズ"_s << u"回転・反転の設定を行ってください。"_s;
        QTest::newRow("English") << UiLanguage::English << 134 << u"Brantmoor Turnwise"_s << u"No rotation settings."_s;
    }
    void information()
    {
        QFETCH(UiLanguage, language);
        QFETCH(int, id);
        QFETCH(QString, caption);
        QFETCH(QString, text);
        std::optional<MessageRequest> seen;
        int shown = 0;
        platform::ScopedMessageBox box([&](const MessageRequest& request) {
            seen = request;
            ++shown;
            return MessageAnswer::Ok;
        });
        resources::ShowInformation(resources::kMsgNoRotationSettings, nullptr, language);
        QCOMPARE(shown, 1);
        QCOMPARE(seen->kind, MessageKind::Information);
        QCOMPARE(seen->id, id);
        QCOMPARE(seen->caption, caption);
        QCOMPARE(seen->text, text);
    }

    void question_data()
    {
        QTest::addColumn<UiLanguage>("language");
        QTest::addColumn<MessageAnswer>("answer");
        QTest::addColumn<bool>("goesOn");
        QTest::addColumn<int>("id");
        QTest::newRow("Japanese, Yes") << UiLanguage::Japanese << MessageAnswer::Yes << true << 133;
        QTest::newRow("Japanese, No") << UiLanguage::Japanese << MessageAnswer::No << false << 133;
        QTest::newRow("English, Yes") << UiLanguage::English << MessageAnswer::Yes << true << 145;
        QTest::newRow("English, No") << UiLanguage::English << MessageAnswer::No << false << 145;
        QTest::newRow("English, anything but Yes") << UiLanguage::English << MessageAnswer::Ok << false << 145;
    }
    void question()
    {
        QFETCH(UiLanguage, language);
        QFETCH(MessageAnswer, answer);
        QFETCH(bool, goesOn);
        QFETCH(int, id);
        std::optional<MessageRequest> seen;
        platform::ScopedMessageBox box([&](const MessageRequest& request) {
            seen = request;
            return answer;
        });
        QCOMPARE(resources::AskQuestion(resources::kMsgConfirmDelete, nullptr, language), goesOn);
        QVERIFY(seen.has_value());
        QCOMPARE(seen->kind, MessageKind::Question);
        QCOMPARE(seen->id, id);
        QCOMPARE(seen->caption, resources::AppTitle(language));
        QCOMPARE(seen->text, resources::LoadString(id, language));
    }

    // String 100 has a text of its own in each language.
    void startFailure()
    {
        for (UiLanguage language : {UiLanguage::Japanese, UiLanguage::English}) {
            std::optional<MessageRequest> seen;
            platform::ScopedMessageBox box([&](const MessageRequest& request) {
                seen = request;
                return MessageAnswer::Ok;
            });
            resources::ShowMessage(resources::kIdsCannotStart, MessageKind::Information, nullptr, language);
            QVERIFY(seen.has_value());
            QCOMPARE(seen->id, 100);
            QVERIFY(!seen->text.isEmpty());
            QCOMPARE(seen->caption, resources::AppTitle(language));
        }
    }
};

QTEST_GUILESS_MAIN(TestMessages)
#include "tst_messages.moc"
