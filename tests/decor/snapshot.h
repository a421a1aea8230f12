#pragma once
// Pictures of the windows for a person to look at: written only when the environment
// names a folder for them (TURNWISE_SNAPSHOT_DIR), never during an ordinary test run.

#include <QImage>
#include <QString>
#include <QtGlobal>

inline void SaveSnapshot(const QImage& picture, const QString& name)
{
    const QString folder = qEnvironmentVariable("TURNWISE_SNAPSHOT_DIR");
    if (!folder.isEmpty())
        picture.save(folder + u'/' + name + QStringLiteral(".png"));
}
