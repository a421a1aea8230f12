#pragma once
// The program's texts in Japanese and English, looked up by string id.
//
// The table works like a resource string table with language blocks: most ids hold one
// text whatever the UI language (the message texts come as pairs of ids, a Japanese one and
// an English one, and the caller picks the id by language), while a few ids hold a text per
// language (the title, the radio labels, the caption line, string 100), so the same id
// reads right in either language.

#include "platform/file_version.h"
#include "platform/ui_language.h"

#include <QString>

#include <cstdint>
#include <initializer_list>

namespace resources {

// A text that exists as two ids: one holding the Japanese text, one the English.
struct TextPair {
    int japanese;
    int english;
};

// Shown when the program cannot prepare its platform at start.
inline constexpr int kIdsCannotStart = 100;

// Message boxes and prompts, Japanese id / English id.
inline constexpr TextPair kMsgAddImagesFirst{129, 143};   // the collection is empty
inline constexpr TextPair kMsgNoRotationSettings{130, 134}; // neither flip nor rotation chosen
inline constexpr TextPair kMsgNoImagesSelected{132, 144}; // Save or Delete selected without a selection
inline constexpr TextPair kMsgConfirmDelete{133, 145};    // question before removing entries
inline constexpr TextPair kMsgProcessCompleted{137, 140}; // end of a save run
inline constexpr TextPair kMsgConfirmExit{138, 147};      // question before closing the main window
inline constexpr TextPair kHelpPanelText{139, 142};       // the card shown over an empty list
inline constexpr TextPair kFolderPrompt{141, 148};        // prompt of the output folder browser

// Ids with a text per language. The radio buttons' labels sit under their control ids.
inline constexpr int kIdsNoFlipping = 222;
inline constexpr int kIdsFlipHorizontal = 223;
inline constexpr int kIdsFlipVertical = 224;
inline constexpr int kIdsNoRotation = 225;
inline constexpr int kIdsRotate90 = 226;
inline constexpr int kIdsRotate180 = 227;
inline constexpr int kIdsRotate270 = 228;
inline constexpr int kIdsAppTitle = 300;         // the application title
inline constexpr int kIdsImageCountFormat = 301; // caption line: "%d" entries, "%d" selected
inline constexpr int kIdsSettingsLabel = 302;    // label over the flip and rotation choices
inline constexpr int kIdsHomePageFormat = 303;   // the maker's home page, "%s" is the web host
inline constexpr int kIdsHelpPagePath = 304;     // the product's help page below the web host

// Ids with one text for both languages (formats).
inline constexpr int kIdsImageSizeFormat = 310;     // second line of a list row: width, height
inline constexpr int kIdsHeaderVersionFormat = 311; // follows the title in the header
inline constexpr int kIdsBannerFormat = 312;        // title and version on the banner
inline constexpr int kIdsHelpPageFormat = 313;      // web host, then the help page path

// The text of `id` in `language`; an empty string for an id without a text.
QString LoadString(int id, platform::UiLanguage language);
QString LoadString(int id); // in the system's UI language

// The text of the pair's id for `language`, read in that language.
QString Text(int japaneseId, int englishId, platform::UiLanguage language);
QString Text(TextPair pair, platform::UiLanguage language);
QString Text(TextPair pair); // in the system's UI language

// The id of the pair that `language` shows.
int TextId(TextPair pair, platform::UiLanguage language);

QString AppTitle(platform::UiLanguage language);
QString AppTitle(); // in the system's UI language

// Fills a format of the table: each %d takes the next number, each %s the next text,
// %% is a percent sign. Missing arguments leave their directive as it stands.
struct FormatArg {
    FormatArg(qint64 number) : m_number(number) {}
    FormatArg(int number) : m_number(number) {}
    FormatArg(unsigned number) : m_number(number) {}
    FormatArg(const QString& text) : m_text(text), m_isText(true) {}
    qint64 m_number = 0;
    QString m_text;
    bool m_isText = false;
};
QString FormatText(const QString& format, std::initializer_list<FormatArg> args);

// The caption line over the list: number of pictures and of selected ones.
QString ImageCountText(int images, int selected, platform::UiLanguage language);

// The line under a list row's path, starting with its line break: the full-size dimensions.
QString ImageSizeText(int width, int height);

// The file version as two 32-bit halves (major.minor high, build.revision low).
using platform::FileVersion;

// " Ver.major.minor.build.revision", drawn after the title in the header.
QString HeaderVersionText(FileVersion version);

// "<title> Version major.minor.build.revision", drawn on the banner.
QString BannerText(const QString& title, FileVersion version);

// The addresses of the maker's home page and the product's help page on `host`.
QString HomePageAddress(const QString& host, platform::UiLanguage language);
QString HelpPageAddress(const QString& host, platform::UiLanguage language);

} // namespace resources
