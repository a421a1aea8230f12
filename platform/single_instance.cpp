#include "platform/single_instance.h"

#include "platform/path_text.h"
#include "platform/temp_folder.h"

#include <QCryptographicHash>
#include <QtGlobal>

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

constexpr char kRuntimeFolderVariable[] = "XDG_RUNTIME_DIR";
const QString kRuntimeSubfolder = QStringLiteral("brantmoor-turnwise");
const QString kTempSubfolderPrefix = QStringLiteral("brantmoor-turnwise-");

// Encoded names longer than this are cut and hashed, so that the name with its suffix stays
// well below the file systems' 255-byte limit for one name.
constexpr int kLongestStem = 200;
constexpr int kKeptOfLongStem = 128;

// A folder this user owns and no one else may enter or change. `followLink` says whether the
// path itself may be a link (true for the folder the session names, false for what we find
// in shared places).
bool IsPrivateFolder(const QByteArray& path, bool followLink)
{
    struct stat st {};
    const int result = followLink ? ::stat(path.constData(), &st) : ::lstat(path.constData(), &st);
    return result == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & 077) == 0;
}

// Makes `folder` (mode 0700) unless it exists; then it must be private.
bool MakePrivateFolder(const QString& folder)
{
    const QByteArray narrow = NarrowPath(folder);
    if (::mkdir(narrow.constData(), 0700) != 0 && errno != EEXIST)
        return false;
    return IsPrivateFolder(narrow, false);
}

QString WithSeparator(QString folder)
{
    if (!folder.endsWith(kPathSeparator))
        folder += kPathSeparator;
    return folder;
}

bool IsKeptByte(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}

} // namespace

QString SingleInstanceFolder()
{
    const QString runtime = qEnvironmentVariable(kRuntimeFolderVariable);
    if (runtime.startsWith(kPathSeparator) && IsPrivateFolder(NarrowPath(runtime), true)) {
        const QString folder = WithSeparator(runtime) + kRuntimeSubfolder;
        if (MakePrivateFolder(folder))
            return WithSeparator(folder);
    }
    const QString folder = TempFolder() + kTempSubfolderPrefix + QString::number(::geteuid());
    if (MakePrivateFolder(folder))
        return WithSeparator(folder);
    return {};
}

QString SingleInstanceFileName(const QString& name, const QString& suffix)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    const QByteArray utf8 = name.toUtf8();
    QByteArray stem;
    for (const char c : utf8) {
        if (IsKeptByte(c)) {
            stem += c;
        } else {
            const auto byte = static_cast<unsigned char>(c);
            stem += '%';
            stem += kHex[byte >> 4];
            stem += kHex[byte & 0xF];
        }
    }
    if (stem.size() > kLongestStem) {
        // Cut between two encoded bytes, never inside a "%XX". The '~' never appears in a short
        // stem (it would be encoded), so a cut name never equals the stem of another name.
        int keep = kKeptOfLongStem;
        while (keep > 0 && (stem[keep - 1] == '%' || (keep > 1 && stem[keep - 2] == '%')))
            --keep;
        stem = stem.left(keep) + '~' + QCryptographicHash::hash(utf8, QCryptographicHash::Sha256).toHex();
    }
    return QString::fromLatin1(stem) + suffix;
}

SingleInstanceGuard::SingleInstanceGuard(const QString& name) : SingleInstanceGuard(name, SingleInstanceFolder()) {}

SingleInstanceGuard::SingleInstanceGuard(const QString& name, const QString& folder)
{
    if (folder.isEmpty())
        return;
    m_lockPath = WithSeparator(folder) + SingleInstanceFileName(name);
    // Close-on-exec: a child started while the guard is held must not keep it alive after
    // this process has gone. No link is followed and no terminal is taken.
    m_fd = ::open(NarrowPath(m_lockPath).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0600);
    if (m_fd < 0)
        return;
    int result;
    do {
        result = ::flock(m_fd, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result == 0) {
        m_state = State::Held;
        return;
    }
    m_state = errno == EWOULDBLOCK ? State::HeldElsewhere : State::Failed;
    ::close(m_fd);
    m_fd = -1;
}

SingleInstanceGuard::~SingleInstanceGuard()
{
    // Closing the only descriptor of the open file releases the lock.
    if (m_fd >= 0)
        ::close(m_fd);
}

} // namespace platform
