#include "platform/file_system.h"

#include "platform/path_text.h"

#include <cerrno>
#include <memory>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

QString SystemError(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

// Closes a descriptor when the scope ends.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }
    // Closes now and reports the result, which for written files is the last chance to see an error.
    int release_and_close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd);
    }

private:
    int m_fd;
};

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

bool IsFolderAt(const QByteArray& path)
{
    struct stat st {};
    return ::stat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

PathKind KindOfPath(const QString& path)
{
    if (path.isEmpty())
        return PathKind::Nothing;
    const QByteArray narrow = NarrowPath(path);
    struct stat st {};
    if (::stat(narrow.constData(), &st) == 0)
        return S_ISDIR(st.st_mode) ? PathKind::Folder : PathKind::File;
    if (::lstat(narrow.constData(), &st) == 0)
        return PathKind::File;
    return PathKind::Nothing;
}

std::optional<FolderId> IdentityOfFolder(const QString& path)
{
    struct stat st {};
    if (::stat(NarrowPath(path).constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return std::nullopt;
    return FolderId{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

bool ListFolder(const QString& folder, const FolderVisitor& visit)
{
    const QByteArray narrowFolder = NarrowPath(folder);
    const std::unique_ptr<DIR, DirCloser> dir(::opendir(narrowFolder.constData()));
    if (!dir)
        return false;
    QByteArray entryPath = narrowFolder;
    if (!entryPath.endsWith('/'))
        entryPath += '/';
    const qsizetype prefix = entryPath.size();
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir.get());
        if (!entry)
            return errno == 0;
        const char* name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
            continue;
        bool isFolder = entry->d_type == DT_DIR;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            entryPath.truncate(prefix);
            entryPath += name;
            isFolder = IsFolderAt(entryPath);
        }
        if (!visit(WidePath(QByteArray(name)), isFolder))
            return false;
    }
}

bool ReadWholeFile(const QByteArray& path, FileContents& contents, QString* error)
{
    // O_NONBLOCK keeps the open itself from waiting on a pipe; regular files ignore it.
    const FileDescriptor fd(::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat st {};
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0) {
        if (error)
            *error = SystemError(errno);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        if (error)
            *error = QStringLiteral("not a regular file");
        return false;
    }
    const auto size = static_cast<std::size_t>(st.st_size);
    std::unique_ptr<unsigned char[]> bytes(new (std::nothrow) unsigned char[size > 0 ? size : 1]);
    if (!bytes) {
        if (error)
            *error = SystemError(ENOMEM);
        return false;
    }
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = ::read(fd.get(), bytes.get() + done, size - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            if (error)
                *error = SystemError(errno);
            return false;
        }
        if (got == 0)
            break; // the file shrank while it was read: keep what is there
        done += static_cast<std::size_t>(got);
    }
    contents.data = std::move(bytes);
    contents.size = done;
    return true;
}

CreateResult WriteNewFile(const QByteArray& path, const unsigned char* data, std::size_t size,
                          QString* error)
{
    // O_EXCL never follows a link, not even a dangling one, so a planted link cannot
    // redirect the write; an existing name of any kind is reported as taken.
    FileDescriptor fd(::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (fd.get() < 0) {
        const int code = errno;
        if (error)
            *error = SystemError(code);
        return code == EEXIST ? CreateResult::Exists : CreateResult::Failed;
    }
    std::size_t done = 0;
    int failure = 0;
    while (done < size) {
        const ssize_t put = ::write(fd.get(), data + done, size - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put < 0) {
            failure = errno;
            break;
        }
        done += static_cast<std::size_t>(put);
    }
    if (fd.release_and_close() != 0 && failure == 0)
        failure = errno;
    if (failure != 0) {
        ::unlink(path.constData());
        if (error)
            *error = SystemError(failure);
        return CreateResult::Failed;
    }
    return CreateResult::Created;
}

bool RemoveFile(const QByteArray& path)
{
    return ::unlink(path.constData()) == 0;
}

} // namespace platform
