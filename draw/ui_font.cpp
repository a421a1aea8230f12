#include "draw/ui_font.h"

#include <QStringList>

#include <mutex>

namespace draw {
namespace {

const QString kJapaneseFace = QStringLiteral(u"ＭＳ ゴシック");
const QString kEnglishFace = QStringLiteral(u"Arial");
const QString kJapaneseSubstitute = QStringLiteral(u"IPAGothic");
const QString kEnglishSubstitute = QStringLiteral(u"Liberation Sans");

} // namespace

QString UiFontFace(platform::UiLanguage language)
{
    return language == platform::UiLanguage::Japanese ? kJapaneseFace : kEnglishFace;
}

void InstallUiFontSubstitutes()
{
    static std::once_flag installed;
    std::call_once(installed, [] {
        QFont::insertSubstitution(kJapaneseFace, kJapaneseSubstitute);
        QFont::insertSubstitution(kEnglishFace, kEnglishSubstitute);
    });
}

QFont UiFont(platform::UiLanguage language, int pixelHeight, bool bold)
{
    InstallUiFontSubstitutes();
    QFont font(UiFontFace(language));
    font.setPixelSize(pixelHeight);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

} // namespace draw
