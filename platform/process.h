#pragma once
// Starting a child program and watching for its end, without an event loop.

#include <QString>

#include <chrono>
#include <optional>

#include <sys/types.h>

namespace platform {

class ReadinessPipe;

// How a child ended.
struct ProcessEnd {
    bool crashed = false; // ended by a signal
    int code = 0;         // the exit code, or the signal's number when crashed
};

class ChildProcess {
public:
    // Starts the program file `program` with no arguments: its path is the whole command line
    // (argv[0]), as it stands, even when it holds spaces. The child gets this process's current
    // folder and environment, except that kReadyVariable names the write end of `readiness`
    // when one is given (and is absent otherwise); it inherits no other descriptor of ours
    // beyond those not marked close-on-exec. The result is not started (IsStarted false) when
    // the file is missing or cannot be run.
    static ChildProcess Start(const QString& program, ReadinessPipe* readiness = nullptr);

    ChildProcess() = default;
    // Leaves the child running: a process only watches its child, it never stops it.
    ~ChildProcess() = default;
    ChildProcess(ChildProcess&& other) noexcept;
    ChildProcess& operator=(ChildProcess&& other) noexcept;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool IsStarted() const { return m_pid > 0; }
    pid_t Id() const { return m_pid; }

    // Looks without waiting: the end once the child has ended, nothing while it runs (or when
    // it was never started). Once seen, the end is kept and reported again.
    std::optional<ProcessEnd> PollEnd();

private:
    pid_t m_pid = -1;
    std::optional<ProcessEnd> m_end;
};

// Suspends the calling thread for `duration` (the whole duration, also when a signal arrives).
void SleepFor(std::chrono::milliseconds duration);

} // namespace platform
