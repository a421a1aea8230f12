#pragma once
// Path operations and the naming rules that keep every result under a free name.
// Paths use platform::kPathSeparator.

#include "platform/file_system.h"

#include <QString>

#include <cstdint>
#include <functional>

class QWidget;

namespace engine {

using platform::PathKind;

// What is at `path`; one trailing separator is ignored, an empty path is Nothing.
PathKind GetPathType(const QString& path);

// Everything after the last separator.
QString GetFileNamePart(const QString& path);

// The part from the last dot to the end, dot included, unless a separator or a space
// follows that dot; otherwise empty.
QString GetExtensionPart(const QString& path);

// Whether the path's extension is ".jpg" or ".jpeg" in any letter case.
bool HasJpegExtension(const QString& path);

// The path without GetExtensionPart's extension.
QString RemoveExtensionPart(const QString& path);

// Where a result for `source` goes in `folder`: folder, a separator, then the source's
// name and extension unchanged. The separator is added even if `folder` ends with one.
QString MakeOutputPath(const QString& source, const QString& folder);

// Whether a name is already taken.
using NameTakenFn = std::function<bool(const QString& path)>;

// Leaves `path` as it is when it is free; otherwise replaces it with the first free
// "<base>_<n><extension>" for n = 0, 1, 2, ... (decimal). Anything at a name takes it.
void MakeUniquePath(QString& path);
void MakeUniquePath(QString& path, const NameTakenFn& isTaken);

// Default extension of temporary files.
inline const QString kTempExtension = QStringLiteral(".tmp");

// A free name in the temporary folder: the folder, the tick count as 8 upper-case hex
// digits, "_<n>" with n in upper-case hex from 0, and the extension (".tmp" when empty).
// Nothing is created.
QString MakeTempPath(const QString& extension);
QString MakeTempPathAt(const QString& tempFolder, std::uint32_t tickCount, const QString& extension,
                       const NameTakenFn& isTaken);

// Asks the user for an output folder. True with `folder` set when an existing folder was
// chosen; false (and `folder` untouched) when cancelled or the choice is not a folder.
bool BrowseForFolder(const QString& prompt, QString& folder, QWidget* owner = nullptr);

} // namespace engine
