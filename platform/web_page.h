#pragma once
// Opening a web page in the user's browser. Tests replace the browser, so that no test ever
// starts one.

#include "platform/scoped_override.h"

#include <QUrl>

#include <functional>

namespace platform {

// Hands `address` to the desktop and returns whether it was accepted.
using WebPageOpenerFn = std::function<bool(const QUrl& address)>;

// Opens `address` with the user's browser. Only web addresses (http and https, with a host)
// are opened; anything else returns false and opens nothing, since the desktop would hand
// other schemes, such as file:, to whatever program is registered for them.
bool OpenWebPage(const QUrl& address);

// Replaces the browser until the guard is destroyed (for tests).
class ScopedWebPageOpener : public ScopedOverride<WebPageOpenerFn> {
public:
    explicit ScopedWebPageOpener(WebPageOpenerFn opener);
};

} // namespace platform
