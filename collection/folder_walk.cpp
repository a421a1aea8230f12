#include "collection/folder_walk.h"

#include "engine/path_rules.h"
#include "platform/file_system.h"
#include "platform/path_text.h"

#include <set>

namespace collection {
namespace {

class FolderWalk {
public:
    FolderWalk(QStringList& list, const std::function<void()>& afterEntry)
        : m_list(list), m_afterEntry(afterEntry)
    {
    }

    bool Collect(const QString& path)
    {
        switch (engine::GetPathType(path)) {
        case platform::PathKind::Nothing:
            return false;
        case platform::PathKind::File:
            m_list.append(path);
            return true;
        case platform::PathKind::Folder:
            break;
        }
        const std::optional<platform::FolderId> id = platform::IdentityOfFolder(path);
        if (!id)
            return false;
        if (!m_visited.insert(*id).second)
            return true; // seen before through another path: nothing new below it
        return platform::ListFolder(path, [&](const QString& name, bool isFolder) {
            const QString child = path + platform::kPathSeparator + name;
            if (!isFolder) {
                m_list.append(child);
            } else if (name == kSkippedFolderName) {
                return true;
            } else if (!Collect(child)) {
                return false;
            }
            if (m_afterEntry)
                m_afterEntry();
            return true;
        });
    }

private:
    QStringList& m_list;
    const std::function<void()>& m_afterEntry;
    std::set<platform::FolderId> m_visited;
};

} // namespace

bool CollectFiles(const QString& path, QStringList& list, const std::function<void()>& afterEntry)
{
    return FolderWalk(list, afterEntry).Collect(path);
}

} // namespace collection
