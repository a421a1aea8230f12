#include "launcher/launcher.h"

namespace launcher {

LaunchOutcome RunLauncher(const LauncherOptions& options)
{
    LaunchOutcome outcome;
    const platform::SingleInstanceGuard guard(
        options.guardName, options.guardFolder.isEmpty() ? platform::SingleInstanceFolder() : options.guardFolder);
    outcome.guard = guard.GetState();
    if (!guard.IsHeld())
        return outcome;
    // Without its own folder the launcher would start a program of the same name from
    // wherever it was started: start nothing instead.
    if (options.programFolder.isEmpty())
        return outcome;

    platform::ReadinessPipe readiness;
    platform::ChildProcess child = platform::ChildProcess::Start(options.programFolder + options.childName,
                                                                 readiness.IsValid() ? &readiness : nullptr);
    readiness.CloseChildEnd();
    outcome.started = child.IsStarted();
    if (!outcome.started)
        return outcome;

    outcome.readiness = readiness.Wait(options.readyTimeout);
    if (options.readinessKnown)
        options.readinessKnown(outcome.readiness);

    while (!(outcome.end = child.PollEnd()))
        platform::SleepFor(options.endPollInterval);
    return outcome;
}

} // namespace launcher
