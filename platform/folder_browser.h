#pragma once
// The folder browser: asks the user for an existing folder. Tests replace the dialog.

#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace platform {

// Shows the dialog and returns the chosen folder, or nothing when the user cancelled.
using FolderBrowserFn = std::function<std::optional<QString>(QWidget* owner, const QString& prompt)>;

// Folders only, nothing preselected, nothing remembered between calls.
std::optional<QString> BrowseForExistingFolder(QWidget* owner, const QString& prompt);

// Replaces the dialog until the returned guard is destroyed (for tests).
class ScopedFolderBrowser {
public:
    explicit ScopedFolderBrowser(FolderBrowserFn browser);
    ~ScopedFolderBrowser();
    ScopedFolderBrowser(const ScopedFolderBrowser&) = delete;
    ScopedFolderBrowser& operator=(const ScopedFolderBrowser&) = delete;

private:
    FolderBrowserFn m_previous;
};

} // namespace platform
