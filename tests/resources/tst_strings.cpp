// The string table: exact texts under their ids, both languages for every pair, the
// formats filled as the windows show them.

#include "resources/string_table.h"
#include "resources/strings.h"

#include <QSet>
#include <QTest>

using namespace Qt::StringLiterals;
using platform::UiLanguage;
using resources::TextPair;

Q_DECLARE_METATYPE(platform::UiLanguage)

namespace {

bool IsAscii(const QString& text)
{
    for (QChar c : text)
        if (c.unicode() > 0x7F)
            return false;
    return true;
}

} // namespace

class TestStrings : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void exactTexts_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<UiLanguage>("language");
        QTest::addColumn<QString>("expected");
        const auto ja = UiLanguage::Japanese;
        const auto en = UiLanguage::English;
        QTest::newRow("129 empty collection") << 129 << ja
                                              << u"画像をドラッグアンドドロップで追加してから、この操作を行ってください。"_s;
        QTest::newRow("143 keeps its spelling") << 143 << en << u"You can do this operation after you add jmages."_s;
        QTest::newRow("132 has a line break") << 132 << ja << u"画像が選択されていません。\n画像をクリックして選択してください。"_s;
        QTest::newRow("145 question") << 145 << en << u"Are you sure to delete?"_s;
        QTest::newRow("138 exit") << 138 << ja << u"終了しますか？"_s;
        QTest::newRow("141 prompt, two lines")
            << 141 << ja
            << u"回転・反転した画像を保存するフォルダを選択してください。\n保存時に重複するファイル名の物がある場合、自動的にリネームして保存します。"_s;
        QTest::newRow("148 prompt") << 148 << en << u"Select folder in which you want to save rotated images."_s;
        QTest::newRow("139 help card") << 139 << ja << u"JPEGファイルをドラッグアンドドロップで\n追加してください。"_s;
        QTest::newRow("142 help card") << 142 << en << u"Drag-and-drop Jpeg files"_s;
        // A neutral id reads the same whatever the UI language.
        QTest::newRow("130 read in English") << 130 << en << u"回転・反転の設定を行ってください。"_s;
        QTest::newRow("radio 222 Japanese") << 222 << ja << u"反転なし"_s;
        QTest::newRow("radio 223 English") << 223 << en << u"Flip Horizontal"_s;
        QTest::newRow("radio 228 Japanese") << 228 << ja << u"270度回転"_s;
        QTest::newRow("radio 228 English") << 228 << en << u"Rotate 270"_s;
        QTest::newRow("title Japanese") << resources::kIdsAppTitle << ja << u"ターンワイズ"_s;
        QTest::newRow("title English") << resources::kIdsAppTitle << en << u"Brantmoor Turnwise"_s;
        QTest::newRow("settings label Japanese") << resources::kIdsSettingsLabel << ja << u"回転・反転の設定"_s;
        QTest::newRow("settings label English") << resources::kIdsSettingsLabel << en << u"Settings"_s;
        QTest::newRow("banner format") << resources::kIdsBannerFormat << ja << u"%s Version %d.%d.%d.%d"_s;
    }
    void exactTexts()
    {
        QFETCH(int, id);
        QFETCH(UiLanguage, language);
        QFETCH(QString, expected);
        QCOMPARE(resources::LoadString(id, language), expected);
    }

    void unknownIdsAreEmpty_data()
    {
        QTest::addColumn<int>("id");
        QTest::newRow("zero") << 0;
        QTest::newRow("between the messages") << 131;
        QTest::newRow("negative") << -129;
        QTest::newRow("far off") << 99999;
    }
    void unknownIdsAreEmpty()
    {
        QFETCH(int, id);
        QVERIFY(resources::LoadString(id, UiLanguage::Japanese).isNull());
        QVERIFY(resources::LoadString(id, UiLanguage::English).isNull());
    }

    // Every pair: a Japanese text under the first id, an English one under the second, so
    // a swapped or missing id shows.
    void pairsHoldBothLanguages_data()
    {
        QTest::addColumn<int>("japaneseId");
        QTest::addColumn<int>("englishId");
        const struct {
            const char* name;
            TextPair pair;
        } pairs[] = {
            {"add images first", resources::kMsgAddImagesFirst},
            {"no rotation settings", resources::kMsgNoRotationSettings},
            {"no images selected", resources::kMsgNoImagesSelected},
            {"confirm delete", resources::kMsgConfirmDelete},
            {"process completed", resources::kMsgProcessCompleted},
            {"confirm exit", resources::kMsgConfirmExit},
            {"help panel", resources::kHelpPanelText},
            {"folder prompt", resources::kFolderPrompt},
        };
        for (const auto& p : pairs)
            QTest::newRow(p.name) << p.pair.japanese << p.pair.english;
    }
    void pairsHoldBothLanguages()
    {
        QFETCH(int, japaneseId);
        QFETCH(int, englishId);
        const QString japanese = resources::Text(japaneseId, englishId, UiLanguage::Japanese);
        const QString english = resources::Text(japaneseId, englishId, UiLanguage::English);
        QVERIFY2(!japanese.isEmpty() && !IsAscii(japanese), qPrintable(japanese));
        QVERIFY2(!english.isEmpty() && IsAscii(english), qPrintable(english));
        QCOMPARE(japanese, resources::LoadString(japaneseId, UiLanguage::English));
    }

    // Ids with a text per language: both present and different, string 100 included.
    void languageBoundIds_data()
    {
        QTest::addColumn<int>("id");
        for (int id : {resources::kIdsCannotStart, 222, 223, 224, 225, 226, 227, 228, resources::kIdsAppTitle,
                       resources::kIdsImageCountFormat, resources::kIdsSettingsLabel, resources::kIdsHomePageFormat,
                       resources::kIdsHelpPagePath})
            QTest::addRow("%d", id) << id;
    }
    void languageBoundIds()
    {
        QFETCH(int, id);
        const QString japanese = resources::LoadString(id, UiLanguage::Japanese);
        const QString english = resources::LoadString(id, UiLanguage::English);
        QVERIFY(!japanese.isEmpty());
        QVERIFY(!english.isEmpty());
        QVERIFY2(japanese != english, qPrintable(english));
    }

    // The table itself: one entry per id and block, and an id either neutral or per language.
    void tableIsConsistent()
    {
        using resources::detail::Block;
        QSet<QPair<int, int>> seen;
        QSet<int> neutral, japanese, english;
        for (std::size_t i = 0; i < resources::detail::kStringTableSize; ++i) {
            const auto& entry = resources::detail::kStringTable[i];
            const QPair<int, int> key(entry.id, static_cast<int>(entry.block));
            QVERIFY2(!seen.contains(key), qPrintable(QStringLiteral("id %1 twice in one block").arg(entry.id)));
            seen.insert(key);
            (entry.block == Block::Neutral ? neutral : entry.block == Block::Japanese ? japanese : english)
                .insert(entry.id);
        }
        QVERIFY(!neutral.intersects(japanese));
        QVERIFY(!neutral.intersects(english));
        QCOMPARE(japanese, english);
    }

    void formats_data()
    {
        QTest::addColumn<QString>("actual");
        QTest::addColumn<QString>("expected");
        const auto ja = UiLanguage::Japanese;
        const auto en = UiLanguage::English;
        QTest::newRow("caption English") << resources::ImageCountText(12, 3, en) << u"12 images(3 selected)"_s;
        QTest::newRow("caption Japanese") << resources::ImageCountText(12, 3, ja) << u"12 個の画像中 3 個を選択しています"_s;
        QTest::newRow("caption empty") << resources::ImageCountText(0, 0, en) << u"0 images(0 selected)"_s;
        QTest::newRow("row size") << resources::ImageSizeText(4000, 3000) << u"\nwidth: 4000 pixel, height: 3000 pixel"_s;
        QTest::newRow("header 1.1.1.4") << resources::HeaderVersionText({0x00010001u, 0x00010004u}) << u" Ver.1.1.1.4"_s;
        QTest::newRow("header unreadable version") << resources::HeaderVersionText({}) << u" Ver.0.0.0.0"_s;
        QTest::newRow("header words split") << resources::HeaderVersionText({0xFFFF0002u, 0x00030000u})
                                            << u" Ver.65535.2.3.0"_s;
        QTest::newRow("banner") << resources::BannerText(resources::AppTitle(en), {0x00010001u, 0x00010004u})
                                << u"Brantmoor Turnwise Version 1.1.1.4"_s;
        QTest::newRow("banner Japanese") << resources::BannerText(resources::AppTitle(ja), {0x00020000u, 0u})
                                         << u"ターンワイズ Version 2.0.0.0"_s;
        QTest::newRow("home page Japanese") << resources::HomePageAddress(u"www.example.com"_s, ja)
                                            << u"http://www.example.com/index_j.html"_s;
        QTest::newRow("home page English") << resources::HomePageAddress(u"www.example.com"_s, en)
                                           << u"http://www.example.com/index_e.html"_s;
        QTest::newRow("help page Japanese") << resources::HelpPageAddress(u"www.example.com"_s, ja)
                                            << u"http://www.example.com/pivora/pivora.html"_s;
        QTest::newRow("help page English") << resources::HelpPageAddress(u"www.example.com"_s, en)
                                           << u"http://www.example.com/pivora/pivora_e.html"_s;
        QTest::newRow("percent sign") << resources::FormatText(u"%d%% of %s"_s, {50, u"it"_s}) << u"50% of it"_s;
        QTest::newRow("missing argument kept") << resources::FormatText(u"%d and %d"_s, {1}) << u"1 and %d"_s;
        QTest::newRow("unknown directive kept") << resources::FormatText(u"%x %d"_s, {7}) << u"%x 7"_s;
        QTest::newRow("percent at the end") << resources::FormatText(u"100%"_s, {}) << u"100%"_s;
        QTest::newRow("negative number") << resources::FormatText(u"%d"_s, {-5}) << u"-5"_s;
    }
    void formats()
    {
        QFETCH(QString, actual);
        QFETCH(QString, expected);
        QCOMPARE(actual, expected);
    }
};

QTEST_GUILESS_MAIN(TestStrings)
#include "tst_strings.moc"
