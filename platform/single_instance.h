#pragma once
// A per-user single-instance guard by name: the first holder of a name wins, every other
// process of the same user that asks for the name while the holder lives is refused.
//
// The guard is an flock() on a lock file named after the guard in a private folder of the
// user. The kernel drops the lock with the last descriptor of the open file, so a holder
// that crashes or is killed never leaves a stale guard behind. The lock file itself stays:
// removing it on release would let a latecomer lock a file that is already unlinked while a
// third process creates and locks a new one under the same name.

#include <QString>

namespace platform {

// The private folder of this user that holds the lock files, created when missing, ending
// with a separator:
// - "brantmoor-turnwise" in $XDG_RUNTIME_DIR when that is an absolute path to a folder owned
//   by this user that no one else may enter. The session manager makes it per user and per
//   logon and empties it at logout, which is the lifetime the guard wants.
// - Otherwise (no session manager, e.g. a remote shell or a container) "brantmoor-turnwise-<uid>"
//   in the temporary folder, made with mode 0700. The temporary folder is shared by all users,
//   so a folder found there is used only when it is a real folder (no link), owned by this
//   user and closed to others.
// Empty when neither can be had.
QString SingleInstanceFolder();

// The file name (without folder) for `name` followed by `suffix`: ".lock" for the guard's
// lock file; other files that belong to the same name (e.g. a local socket that a running
// copy listens on) take another suffix in the same folder. Any text makes a safe name: ASCII
// letters, digits, '-' and '_' stay as they are, every other byte of the UTF-8 form becomes
// "%XX", so different names never share a file and no name escapes the folder. Names too
// long for a file name are cut and followed by a hash of the whole name.
QString SingleInstanceFileName(const QString& name, const QString& suffix = QStringLiteral(".lock"));

class SingleInstanceGuard {
public:
    enum class State {
        Held,          // this object holds the guard until it is destroyed
        HeldElsewhere, // another holder (another object or process) has it
        Failed,        // no lock file could be made; nothing is known about other holders
    };

    // Tries once to take the guard `name` in SingleInstanceFolder(); never waits.
    explicit SingleInstanceGuard(const QString& name);
    // The same in `folder` (a path ending with a separator, or empty for Failed).
    SingleInstanceGuard(const QString& name, const QString& folder);
    ~SingleInstanceGuard(); // releases the guard when held
    SingleInstanceGuard(const SingleInstanceGuard&) = delete;
    SingleInstanceGuard& operator=(const SingleInstanceGuard&) = delete;

    State GetState() const { return m_state; }
    bool IsHeld() const { return m_state == State::Held; }
    // The lock file's path; empty when no folder was available.
    const QString& LockPath() const { return m_lockPath; }

private:
    QString m_lockPath;
    int m_fd = -1; // close-on-exec, so a child process never inherits the guard
    State m_state = State::Failed;
};

} // namespace platform
