#include "platform/folder_browser.h"

#include <QFileDialog>

#include <utility>

namespace platform {
namespace {

std::optional<QString> ShowFolderDialog(QWidget* owner, const QString& prompt)
{
    const QString folder = QFileDialog::getExistingDirectory(
        owner, prompt, QString(), QFileDialog::ShowDirsOnly | QFileDialog::DontResolveSymlinks);
    if (folder.isEmpty())
        return std::nullopt;
    return folder;
}

FolderBrowserFn& CurrentBrowser()
{
    static FolderBrowserFn browser = ShowFolderDialog;
    return browser;
}

} // namespace

std::optional<QString> BrowseForExistingFolder(QWidget* owner, const QString& prompt)
{
    return CurrentBrowser()(owner, prompt);
}

ScopedFolderBrowser::ScopedFolderBrowser(FolderBrowserFn browser) : ScopedOverride(CurrentBrowser(), std::move(browser))
{
}

} // namespace platform
