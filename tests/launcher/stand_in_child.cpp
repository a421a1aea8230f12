// A stand-in for the main program in the launcher's tests: a real process without a
// window whose behaviour the test chooses through the environment (which it inherits from
// the launcher that starts it):
//   STAND_IN_FOLDER  where it leaves its traces; without it the program ends at once with 0
//   STAND_IN_GUARD   first takes the single-instance guard of this name; when another
//                    process holds it, leaves "handed-over-<pid>" and ends with 0 at once
//   STAND_IN_READY   "0": never signals readiness; otherwise signals it after starting
//   STAND_IN_WAIT    "0": ends at once; otherwise waits for the file "release" to appear
//   STAND_IN_END     "kill": ends by SIGKILL; otherwise the exit code (default 0)
// Traces: "child-<pid>" on start, holding the readiness variable's value as it found it
// (empty when absent), and "ending-<pid>" just before it ends.

#include "platform/process.h"
#include "platform/readiness.h"
#include "platform/single_instance.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <chrono>
#include <memory>

#include <signal.h>
#include <unistd.h>

namespace {

constexpr std::chrono::milliseconds kReleaseCheckInterval{10};
// A stand-in whose test has gone away (or left its folder) must not live on for ever.
constexpr std::chrono::minutes kLongestWait{2};
constexpr int kGaveUpWaiting = 99;

bool Leave(const QDir& folder, const QString& name, const QByteArray& content)
{
    QFile file(folder.filePath(name));
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QString Pid()
{
    return QString::number(::getpid());
}

} // namespace

int main()
{
    if (!qEnvironmentVariableIsSet("STAND_IN_FOLDER"))
        return 0;
    const QDir folder(qEnvironmentVariable("STAND_IN_FOLDER"));

    std::unique_ptr<platform::SingleInstanceGuard> guard;
    if (qEnvironmentVariableIsSet("STAND_IN_GUARD")) {
        guard = std::make_unique<platform::SingleInstanceGuard>(qEnvironmentVariable("STAND_IN_GUARD"));
        if (!guard->IsHeld()) {
            Leave(folder, QStringLiteral("handed-over-") + Pid(), {});
            return 0;
        }
    }

    if (!Leave(folder, QStringLiteral("child-") + Pid(), qgetenv(platform::kReadyVariable)))
        return kGaveUpWaiting;
    if (qEnvironmentVariable("STAND_IN_READY") != u"0")
        platform::SignalReady();

    if (qEnvironmentVariable("STAND_IN_WAIT") != u"0") {
        const QString release = folder.filePath(QStringLiteral("release"));
        const auto deadline = std::chrono::steady_clock::now() + kLongestWait;
        while (!QFile::exists(release)) {
            if (std::chrono::steady_clock::now() > deadline || !folder.exists())
                return kGaveUpWaiting;
            platform::SleepFor(kReleaseCheckInterval);
        }
    }

    const QString end = qEnvironmentVariable("STAND_IN_END");
    Leave(folder, QStringLiteral("ending-") + Pid(), end.toUtf8());
    if (end == u"kill")
        ::raise(SIGKILL);
    return end.toInt();
}
