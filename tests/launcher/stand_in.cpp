#include "tests/launcher/stand_in.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace standin {
namespace {

const QString kFolder = QStringLiteral("STAND_IN_FOLDER");
const QString kGuard = QStringLiteral("STAND_IN_GUARD");
const QString kReady = QStringLiteral("STAND_IN_READY");
const QString kWait = QStringLiteral("STAND_IN_WAIT");
const QString kEnd = QStringLiteral("STAND_IN_END");

QString Flag(bool value)
{
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

QString Program()
{
    return QStringLiteral(STAND_IN_CHILD);
}

void Behaviour::ApplyTo(QProcessEnvironment& environment) const
{
    environment.insert(kFolder, folder);
    environment.insert(kReady, Flag(ready));
    environment.insert(kWait, Flag(wait));
    environment.insert(kEnd, end);
    if (guard.isEmpty())
        environment.remove(kGuard);
    else
        environment.insert(kGuard, guard);
}

void Behaviour::ApplyToThisProcess() const
{
    qputenv("STAND_IN_FOLDER", QFile::encodeName(folder));
    qputenv("STAND_IN_READY", Flag(ready).toUtf8());
    qputenv("STAND_IN_WAIT", Flag(wait).toUtf8());
    qputenv("STAND_IN_END", end.toUtf8());
    if (guard.isEmpty())
        qunsetenv("STAND_IN_GUARD");
    else
        qputenv("STAND_IN_GUARD", guard.toUtf8());
}

QStringList Traces(const QString& folder, const QString& prefix)
{
    return QDir(folder).entryList({prefix + u'*'}, QDir::Files, QDir::Name);
}

bool Release(const QString& folder)
{
    QFile file(QDir(folder).filePath(QStringLiteral("release")));
    return file.open(QIODevice::WriteOnly);
}

bool CopyProgram(const QString& source, const QString& folder, const QString& name)
{
    const QString target = QDir(folder).filePath(name);
    QFile::remove(target);
    return QFile::copy(source, target)
        && QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void UseRuntimeFolder(const QString& runtimeFolder)
{
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeFolder));
}

} // namespace standin

namespace platform {

char* toString(Readiness readiness)
{
    switch (readiness) {
    case Readiness::Ready: return qstrdup("Ready");
    case Readiness::Ended: return qstrdup("Ended");
    case Readiness::TimedOut: return qstrdup("TimedOut");
    case Readiness::Failed: return qstrdup("Failed");
    }
    return qstrdup("?");
}

char* toString(SingleInstanceGuard::State state)
{
    switch (state) {
    case SingleInstanceGuard::State::Held: return qstrdup("Held");
    case SingleInstanceGuard::State::HeldElsewhere: return qstrdup("HeldElsewhere");
    case SingleInstanceGuard::State::Failed: return qstrdup("Failed");
    }
    return qstrdup("?");
}

} // namespace platform
