#pragma once
// The font rule every text the program draws follows.

#include "platform/ui_language.h"

#include <QFont>
#include <QString>

namespace draw {

// The face the program asks for: "ＭＳ ゴシック" in Japanese, "Arial" in English.
QString UiFontFace(platform::UiLanguage language);

// The faces that stand in for those asked for, with the same character metrics, so text
// measures as it was laid out: IPAGothic for "ＭＳ ゴシック", Liberation Sans for "Arial".
// UiFont installs them; a program may also call this once at start-up. Repeated calls do
// nothing more.
void InstallUiFontSubstitutes();

// The UI face at a character height of `pixelHeight` pixels (the em height), normal weight
// or bold, no italic, underline or strike-out.
QFont UiFont(platform::UiLanguage language, int pixelHeight, bool bold = false);

} // namespace draw
