#pragma once
// Path text as the file system takes it.

#include <QByteArray>
#include <QChar>
#include <QString>

namespace platform {

// The separator between path components on this system.
inline constexpr QChar kPathSeparator = u'/';

// The byte form of a path that the C file layer takes (the locale's file-name encoding).
QByteArray NarrowPath(const QString& path);

// The inverse of NarrowPath, for names read from the file system.
QString WidePath(const QByteArray& narrow);

} // namespace platform
