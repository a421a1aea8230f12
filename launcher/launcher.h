#pragma once
// The launcher: one run per user at a time, which starts the main program from the
// launcher's own folder and waits for it to end.

#include "platform/process.h"
#include "platform/readiness.h"
#include "platform/single_instance.h"

#include <QString>

#include <chrono>
#include <functional>
#include <optional>

namespace launcher {

// The launcher's own single-instance guard, apart from the main program's.
inline constexpr char16_t kGuardName[] = u"PivoraDiviza";
// The main program's file, beside the launcher.
inline constexpr char16_t kMainProgramName[] = u"pivora.bin";
// The settings root shared with the main program; the launcher stores nothing under it.
inline constexpr char16_t kSettingsRoot[] = u"Brantmoor";
// The longest wait for the main program to become ready for input.
inline constexpr std::chrono::milliseconds kReadyTimeout{10000};
// How often the main program's end is looked for once it is ready (or the wait is over).
inline constexpr std::chrono::milliseconds kEndPollInterval{20};

struct LauncherOptions {
    QString programFolder;                 // the launcher's folder, ending with a separator
    QString childName = QString::fromUtf16(kMainProgramName);
    QString guardName = QString::fromUtf16(kGuardName);
    QString guardFolder;                   // empty: the user's platform::SingleInstanceFolder()
    std::chrono::milliseconds readyTimeout = kReadyTimeout;
    std::chrono::milliseconds endPollInterval = kEndPollInterval;
    // Called once the wait for readiness is over, before the end is polled (for tests).
    std::function<void(platform::Readiness)> readinessKnown;
};

// What one run did. The launcher's exit code does not depend on it.
struct LaunchOutcome {
    platform::SingleInstanceGuard::State guard = platform::SingleInstanceGuard::State::Failed;
    bool started = false;                         // the child program was started
    platform::Readiness readiness = platform::Readiness::Failed; // how the wait for readiness ended
    std::optional<platform::ProcessEnd> end;      // how the child ended
};

// Takes the guard (or, when another launcher holds it or it cannot be had, returns at once
// having started nothing), starts <programFolder><childName> with no arguments, waits at most
// readyTimeout for it to become ready, then looks for its end every endPollInterval until it
// has ended, and releases the guard. A child that is missing or cannot be started ends the
// run at once.
LaunchOutcome RunLauncher(const LauncherOptions& options);

} // namespace launcher
