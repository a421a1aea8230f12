#pragma once
// Files and folders: what is at a path, folder listings, whole-file reads and
// exclusive writes. Paths handed to the file layer are narrow (see path_text.h).

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace platform {

enum class PathKind { Nothing = 0, File = 1, Folder = 2 };

// What is at `path`. Links are followed; a link that leads nowhere still occupies its
// name and counts as a file.
PathKind KindOfPath(const QString& path);

// Identifies a folder independently of the path that reached it (device and inode).
struct FolderId {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    friend bool operator<(const FolderId& a, const FolderId& b)
    {
        return a.device != b.device ? a.device < b.device : a.inode < b.inode;
    }
};
std::optional<FolderId> IdentityOfFolder(const QString& path);

// Calls `visit` for every entry of `folder` except "." and "..", in the order the file
// system lists them; links to folders count as folders. `visit` returns false to stop.
// Returns false when the folder cannot be opened or read to its end, or `visit` stopped.
using FolderVisitor = std::function<bool(const QString& name, bool isFolder)>;
bool ListFolder(const QString& folder, const FolderVisitor& visit);

// The bytes of a whole file. The buffer is not cleared before it is read into: a large
// file is touched once, by the read itself.
struct FileContents {
    std::unique_ptr<unsigned char[]> data;
    std::size_t size = 0;
};

// Reads a whole regular file. On failure returns false and describes why in `error`.
bool ReadWholeFile(const QByteArray& path, FileContents& contents, QString* error);

enum class CreateResult { Created, Exists, Failed };

// Creates `path` exclusively and writes `size` bytes into it. An existing name (a file,
// a folder or a link, even a dangling one) is never opened: the result is Exists.
// A file that fails while being written is removed again.
CreateResult WriteNewFile(const QByteArray& path, const unsigned char* data, std::size_t size,
                          QString* error);

// Removes a file; false when it could not be removed.
bool RemoveFile(const QByteArray& path);

} // namespace platform
