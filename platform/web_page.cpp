#include "platform/web_page.h"

#include <QDesktopServices>

#include <utility>

namespace platform {
namespace {

bool OpenInBrowser(const QUrl& address)
{
    return QDesktopServices::openUrl(address);
}

WebPageOpenerFn& CurrentOpener()
{
    static WebPageOpenerFn opener = OpenInBrowser;
    return opener;
}

bool IsWebAddress(const QUrl& address)
{
    const QString scheme = address.scheme();
    return address.isValid() && !address.host().isEmpty() &&
           (scheme == QStringLiteral("http") || scheme == QStringLiteral("https"));
}

} // namespace

bool OpenWebPage(const QUrl& address)
{
    if (!IsWebAddress(address))
        return false;
    return CurrentOpener()(address);
}

ScopedWebPageOpener::ScopedWebPageOpener(WebPageOpenerFn opener) : ScopedOverride(CurrentOpener(), std::move(opener))
{
}

} // namespace platform
