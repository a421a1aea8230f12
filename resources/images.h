#pragma once
// The pictures the program carries: button strips, header bars, banner, corner picture,
// the open-hand cursor and the program icons. They are compiled into the program; the
// generator in resources/artwork/ draws them.

#include "platform/ui_language.h"

#include <QByteArray>
#include <QImage>

class QCursor;
class QIcon;

namespace resources {

// Strips: faces of several buttons side by side, normal faces in the upper row, pressed
// faces in the lower row.
inline constexpr int kIdbSaveStripJapanese = 140;   // 400 x 48, save selected | save all
inline constexpr int kIdbSaveStripEnglish = 151;    // 320 x 48
inline constexpr int kIdbDeleteStripJapanese = 134; // 140 x 36, delete selected | delete all
inline constexpr int kIdbDeleteStripEnglish = 150;  // 140 x 36
inline constexpr int kIdbArrowStrip = 135;          // 40 x 36, previous | next
inline constexpr int kIdbToolStrip = 136;           // 119 x 34, seven 17 x 17 icons, magenta key

// Single pictures.
inline constexpr int kIdbBanner = 130;         // 380 x 50, start-up banner
inline constexpr int kIdbHeaderActive = 131;   // 410 x 28, blue header bar
inline constexpr int kIdbHeaderInactive = 152; // 410 x 28, grey header bar
inline constexpr int kIdbCorner = 220;         // 38 x 34, lower-left corner decoration

// The open hand shown over the banner: 32 x 32 with its hot spot at (14, 17).
inline constexpr int kIdcOpenHand = 11105;
inline constexpr int kOpenHandHotSpotX = 14;
inline constexpr int kOpenHandHotSpotY = 17;

// The main program's icon; the launcher has an icon of its own (LauncherIcon).
inline constexpr int kIdrProgramIcon = 128;

// The tool strip's cell size and the colours it is drawn with.
inline constexpr int kToolCellSize = 17;
inline constexpr QRgb kToolBackground = 0xFFF5FAFEu; // RGB(245, 250, 254), the workspace background
inline constexpr QRgb kColourKey = 0xFFFF00FFu;      // RGB(255, 0, 255), never drawn by keyed copies

// The strip that the UI language shows.
int SaveStripId(platform::UiLanguage language);
int DeleteStripId(platform::UiLanguage language);

// The stored picture file (PNG) of a picture id above; empty for an unknown id. The strips
// and bitmaps are 24-bit RGB without alpha; the cursor has an alpha channel.
QByteArray LoadResourceData(int id);

// The decoded picture of an id above; a null image for an unknown id.
QImage LoadResourceImage(int id);

// The open-hand cursor (needs the GUI application object).
QCursor OpenHandCursor();

// Icons in sizes from 16 x 16 to 256 x 256.
QIcon ProgramIcon();
QIcon LauncherIcon();

} // namespace resources
