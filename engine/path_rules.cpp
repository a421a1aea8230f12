#include "engine/path_rules.h"

#include "platform/path_text.h"
#include "platform/temp_folder.h"
#include "platform/tick_count.h"

namespace engine {
namespace {

using platform::kPathSeparator;

bool IsTakenOnDisk(const QString& path)
{
    return GetPathType(path) != PathKind::Nothing;
}

} // namespace

PathKind GetPathType(const QString& path)
{
    QString lookup = path;
    if (lookup.size() > 1 && lookup.endsWith(kPathSeparator))
        lookup.chop(1);
    return platform::KindOfPath(lookup);
}

QString GetFileNamePart(const QString& path)
{
    return path.mid(path.lastIndexOf(kPathSeparator) + 1);
}

QString GetExtensionPart(const QString& path)
{
    qsizetype dot = -1;
    for (qsizetype i = 0; i < path.size(); ++i) {
        const QChar c = path.at(i);
        if (c == u'.')
            dot = i;
        else if (c == kPathSeparator || c == u' ')
            dot = -1;
    }
    return dot < 0 ? QString() : path.mid(dot);
}

bool HasJpegExtension(const QString& path)
{
    const QString extension = GetExtensionPart(path);
    return extension.compare(u".jpg", Qt::CaseInsensitive) == 0 || extension.compare(u".jpeg", Qt::CaseInsensitive) == 0;
}

QString RemoveExtensionPart(const QString& path)
{
    return path.left(path.size() - GetExtensionPart(path).size());
}

QString MakeOutputPath(const QString& source, const QString& folder)
{
    const QString name = GetFileNamePart(source);
    return folder + kPathSeparator + RemoveExtensionPart(name) + GetExtensionPart(name);
}

void MakeUniquePath(QString& path)
{
    MakeUniquePath(path, IsTakenOnDisk);
}

void MakeUniquePath(QString& path, const NameTakenFn& isTaken)
{
    if (!isTaken(path))
        return;
    const QString base = RemoveExtensionPart(path);
    const QString extension = GetExtensionPart(path);
    for (quint64 n = 0;; ++n) {
        QString candidate = base + u'_' + QString::number(n) + extension;
        if (!isTaken(candidate)) {
            path = std::move(candidate);
            return;
        }
    }
}

QString MakeTempPath(const QString& extension)
{
    return MakeTempPathAt(platform::TempFolder(), platform::TickCount(), extension, IsTakenOnDisk);
}

QString MakeTempPathAt(const QString& tempFolder, std::uint32_t tickCount, const QString& extension,
                       const NameTakenFn& isTaken)
{
    const QString stem = tempFolder + QStringLiteral("%1").arg(tickCount, 8, 16, QLatin1Char('0')).toUpper();
    const QString ext = extension.isEmpty() ? kTempExtension : extension;
    for (quint64 n = 0;; ++n) {
        QString candidate = stem + u'_' + QString::number(n, 16).toUpper() + ext;
        if (!isTaken(candidate))
            return candidate;
    }
}

} // namespace engine
