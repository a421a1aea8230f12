#pragma once
// The folder browser: asks the user for an existing folder. Tests replace the dialog.

#include "platform/scoped_override.h"

#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace platform {

// Shows the dialog and returns the chosen folder, or nothing when the user cancelled.
using FolderBrowserFn = std::function<std::optional<QString>(QWidget* owner, const QString& prompt)>;

// Folders only, nothing preselected, nothing remembered between calls.
std::optional<QString> BrowseForExistingFolder(QWidget* owner, const QString& prompt);

// Replaces the dialog until the guard is destroyed (for tests).
class ScopedFolderBrowser : public ScopedOverride<FolderBrowserFn> {
public:
    explicit ScopedFolderBrowser(FolderBrowserFn browser);
};

} // namespace platform
