#include "platform/path_text.h"

#include <QFile>

namespace platform {

QByteArray NarrowPath(const QString& path)
{
    return QFile::encodeName(path);
}

QString WidePath(const QByteArray& narrow)
{
    return QFile::decodeName(narrow);
}

} // namespace platform
