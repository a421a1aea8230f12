#pragma once
// The readiness signal between a program and the child it starts: the child tells its
// parent once it is ready for input, the parent waits for that with a time limit.
//
// The parent makes a pipe and hands the write end to the child, whose environment names
// the descriptor in kReadyVariable. The child writes one byte and closes the descriptor
// when it is ready. A pipe fits here because the kernel reports its end by itself: when the
// child ends (or crashes) before it is ready, the parent sees the end of the pipe at once
// rather than waiting out the whole time limit, and nothing has to be cleaned up afterwards.

#include <chrono>

namespace platform {

// The environment variable that carries the write end's descriptor number to the child.
inline constexpr char kReadyVariable[] = "TURNWISE_READY_FD";

// Child side: tells the parent that this program is ready for input. Call it once the main
// window is shown and the event loop runs. It also removes kReadyVariable from the
// environment, so programs started later from this one do not inherit it. A parent that has
// gone meanwhile is no error (no SIGPIPE ends the program). Does nothing when
// the program was not started with a readiness pipe (started by hand, say), when the variable
// does not name a pipe, or on every call after the first.
void SignalReady();

enum class Readiness {
    Ready,    // the child signalled
    Ended,    // the pipe ended first: the child closed it, ended or crashed without signalling
    TimedOut, // the time limit passed
    Failed,   // no pipe to wait on
};

// Parent side: the pipe, owned for one child.
class ReadinessPipe {
public:
    ReadinessPipe(); // makes the pipe; both ends close on exec until the child is given one
    ~ReadinessPipe();
    ReadinessPipe(const ReadinessPipe&) = delete;
    ReadinessPipe& operator=(const ReadinessPipe&) = delete;

    bool IsValid() const { return m_readFd >= 0; }

    // The write end that the child inherits (see ChildProcess::Start), or -1.
    int ChildEnd() const { return m_writeFd; }

    // Closes this process's copy of the write end once the child has been started (or could
    // not be), so that only the child holds it and its end shows as the end of the pipe.
    void CloseChildEnd();

    // Waits until the child signals, the pipe ends, or `timeout` has passed, whichever comes
    // first; never longer than `timeout`. Call after CloseChildEnd.
    Readiness Wait(std::chrono::milliseconds timeout);

private:
    int m_readFd = -1;
    int m_writeFd = -1;
};

} // namespace platform
