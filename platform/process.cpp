#include "platform/process.h"

#include "platform/path_text.h"
#include "platform/readiness.h"

#include <QByteArray>
#include <QList>

#include <cerrno>
#include <cstring>
#include <utility>
#include <vector>

#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char** environ;

namespace platform {
namespace {

// This process's environment without kReadyVariable, plus that variable naming `readyFd`
// when it is not negative.
QList<QByteArray> ChildEnvironment(int readyFd)
{
    const QByteArray prefix = QByteArray(kReadyVariable) + '=';
    QList<QByteArray> entries;
    for (char** entry = environ; entry && *entry; ++entry) {
        if (std::strncmp(*entry, prefix.constData(), static_cast<std::size_t>(prefix.size())) != 0)
            entries.append(QByteArray(*entry));
    }
    if (readyFd >= 0)
        entries.append(prefix + QByteArray::number(readyFd));
    return entries;
}

class SpawnActions {
public:
    SpawnActions() { m_valid = ::posix_spawn_file_actions_init(&m_actions) == 0; }
    ~SpawnActions()
    {
        if (m_valid)
            ::posix_spawn_file_actions_destroy(&m_actions);
    }
    SpawnActions(const SpawnActions&) = delete;
    SpawnActions& operator=(const SpawnActions&) = delete;
    bool IsValid() const { return m_valid; }
    posix_spawn_file_actions_t* get() { return &m_actions; }

private:
    posix_spawn_file_actions_t m_actions {};
    bool m_valid = false;
};

} // namespace

ChildProcess ChildProcess::Start(const QString& program, ReadinessPipe* readiness)
{
    ChildProcess child;
    const int readyFd = readiness && readiness->IsValid() ? readiness->ChildEnd() : -1;
    SpawnActions actions;
    if (!actions.IsValid())
        return child;
    // A dup2 onto the same number clears close-on-exec in the child only, so the write end
    // reaches the child under the number its environment names, and no other program we start
    // ever gets it.
    if (readyFd >= 0 && ::posix_spawn_file_actions_adddup2(actions.get(), readyFd, readyFd) != 0)
        return child;

    QByteArray path = NarrowPath(program);
    char* argv[] = {path.data(), nullptr};
    QList<QByteArray> environment = ChildEnvironment(readyFd);
    std::vector<char*> envp;
    envp.reserve(static_cast<std::size_t>(environment.size()) + 1);
    for (QByteArray& entry : environment)
        envp.push_back(entry.data());
    envp.push_back(nullptr);

    // posix_spawn reports a program that cannot be run (missing, not executable, a folder) as
    // its own result, so a failed start never leaves a half-started child behind.
    pid_t pid = -1;
    if (::posix_spawn(&pid, path.constData(), actions.get(), nullptr, argv, envp.data()) == 0)
        child.m_pid = pid;
    return child;
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept
    : m_pid(std::exchange(other.m_pid, -1)), m_end(std::exchange(other.m_end, std::nullopt))
{
}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept
{
    m_pid = std::exchange(other.m_pid, -1);
    m_end = std::exchange(other.m_end, std::nullopt);
    return *this;
}

std::optional<ProcessEnd> ChildProcess::PollEnd()
{
    if (m_end || m_pid <= 0)
        return m_end;
    int status = 0;
    pid_t result;
    do {
        result = ::waitpid(m_pid, &status, WNOHANG);
    } while (result < 0 && errno == EINTR);
    if (result == m_pid) {
        if (WIFSIGNALED(status))
            m_end = ProcessEnd{true, WTERMSIG(status)};
        else
            m_end = ProcessEnd{false, WEXITSTATUS(status)};
    } else if (result < 0) {
        // The child is not ours to wait for any more (someone else reaped it): it has ended,
        // how is unknown.
        m_end = ProcessEnd{true, 0};
    }
    return m_end;
}

void SleepFor(std::chrono::milliseconds duration)
{
    if (duration.count() <= 0)
        return;
    timespec left {};
    left.tv_sec = static_cast<time_t>(duration.count() / 1000);
    left.tv_nsec = static_cast<long>(duration.count() % 1000) * 1000000L;
    while (::nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
}

} // namespace platform
