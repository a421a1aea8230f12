#pragma once
// Driving the stand-in main program (stand_in_child.cpp) from the launcher's tests.

#include "platform/readiness.h"
#include "platform/single_instance.h"

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace standin {

// The built stand-in program.
QString Program();

// What the stand-in does; see stand_in_child.cpp.
struct Behaviour {
    QString folder;       // where its traces go
    bool ready = true;    // signals readiness after starting
    bool wait = true;     // waits for Release(folder) before ending
    QString end = QStringLiteral("0"); // an exit code, or "kill"
    QString guard;        // a single-instance guard to take first (none when empty)

    void ApplyTo(QProcessEnvironment& environment) const;
    // For children that this test process starts itself (they inherit its environment).
    void ApplyToThisProcess() const;
};

// The names in `folder` that start with `prefix` ("child-", "ending-", "handed-over-").
QStringList Traces(const QString& folder, const QString& prefix);

// Lets every waiting stand-in of `folder` end.
bool Release(const QString& folder);

// Copies `source` to `folder`/`name`, executable. False when it could not.
bool CopyProgram(const QString& source, const QString& folder, const QString& name);

// Points the per-user guard folder of this process, and of every process it starts, into
// `runtimeFolder` (a private temporary folder), so tests never meet the user's real guards.
void UseRuntimeFolder(const QString& runtimeFolder);

} // namespace standin

// Names in failure messages (found by Qt Test through the types' namespace).
namespace platform {
char* toString(Readiness readiness);
char* toString(SingleInstanceGuard::State state);
} // namespace platform
