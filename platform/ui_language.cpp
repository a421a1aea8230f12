#include "platform/ui_language.h"

#include <QLocale>

namespace platform {

UiLanguage SystemUiLanguage()
{
    return QLocale::system().language() == QLocale::Japanese ? UiLanguage::Japanese : UiLanguage::English;
}

} // namespace platform
