// Kept apart from the other path rules so that programs without a window do not link the
// dialog.
#include "engine/path_rules.h"

#include "platform/folder_browser.h"

namespace engine {

bool BrowseForFolder(const QString& prompt, QString& folder, QWidget* owner)
{
    const std::optional<QString> chosen = platform::BrowseForExistingFolder(owner, prompt);
    if (!chosen || GetPathType(*chosen) != PathKind::Folder)
        return false;
    folder = *chosen;
    return true;
}

} // namespace engine
