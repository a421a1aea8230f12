#include "platform/readiness.h"

#include <QtGlobal>

#include <algorithm>
#include <cerrno>
#include <climits>

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

void CloseDescriptor(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

// Writes the one byte. A parent that has gone away (its read end closed) would make the write
// raise SIGPIPE and end this program; the signal is held back for the write and a SIGPIPE
// caused by it is taken off again, so the program goes on.
void WriteWithoutSigpipe(int fd)
{
    sigset_t pipeSignal;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    sigset_t previousMask;
    ::pthread_sigmask(SIG_BLOCK, &pipeSignal, &previousMask);
    sigset_t pending;
    sigpending(&pending);
    const bool pendingBefore = sigismember(&pending, SIGPIPE) == 1; // not ours to take

    const char byte = 1;
    ssize_t written;
    do {
        written = ::write(fd, &byte, 1);
    } while (written < 0 && errno == EINTR);
    if (written < 0 && errno == EPIPE && !pendingBefore) {
        const timespec noWait {};
        while (::sigtimedwait(&pipeSignal, nullptr, &noWait) < 0 && errno == EINTR) {
        }
    }
    ::pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);
}

} // namespace

void SignalReady()
{
    if (!qEnvironmentVariableIsSet(kReadyVariable))
        return;
    bool ok = false;
    const int fd = qEnvironmentVariableIntValue(kReadyVariable, &ok);
    qunsetenv(kReadyVariable);
    // Only a pipe is written to: a stale number must not put a byte into whatever file the
    // program happens to hold under it.
    struct stat st {};
    if (!ok || fd < 0 || ::fstat(fd, &st) != 0 || !S_ISFIFO(st.st_mode))
        return;
    WriteWithoutSigpipe(fd);
    ::close(fd);
}

ReadinessPipe::ReadinessPipe()
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return;
    m_readFd = fds[0];
    m_writeFd = fds[1];
}

ReadinessPipe::~ReadinessPipe()
{
    CloseDescriptor(m_readFd);
    CloseDescriptor(m_writeFd);
}

void ReadinessPipe::CloseChildEnd()
{
    CloseDescriptor(m_writeFd);
}

Readiness ReadinessPipe::Wait(std::chrono::milliseconds timeout)
{
    if (m_readFd < 0)
        return Readiness::Failed;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        const int pollTimeout = static_cast<int>(std::clamp<std::chrono::milliseconds::rep>(left.count(), 0, INT_MAX));
        pollfd entry {m_readFd, POLLIN, 0};
        const int result = ::poll(&entry, 1, pollTimeout);
        if (result < 0 && errno == EINTR)
            continue;
        if (result < 0)
            return Readiness::Failed;
        if (result == 0)
            return Readiness::TimedOut;
        char byte = 0;
        ssize_t got;
        do {
            got = ::read(m_readFd, &byte, 1);
        } while (got < 0 && errno == EINTR);
        return got == 1 ? Readiness::Ready : Readiness::Ended;
    }
}

} // namespace platform
