#pragma once
// Gathering the files below dropped paths.

#include <QString>
#include <QStringList>

#include <functional>

namespace collection {

// Subfolders of exactly this name (letter case included) are neither entered nor listed.
inline const QString kSkippedFolderName = QStringLiteral("_PAGE_");

// Appends every file at or below `path` to `list`, depth first in the order the file
// system lists each folder, a subfolder's files standing where the subfolder stands.
// A file is appended as given; folders are joined with one separator. Returns false
// when `path` does not exist or a folder at or below it cannot be listed; the walk then
// stops at once, keeping what it gathered so far. A folder reached a second time
// (through a link) is not walked again, so links back into an enclosing folder end.
// `afterEntry` runs after each file and each finished subfolder (to keep windows painted).
bool CollectFiles(const QString& path, QStringList& list, const std::function<void()>& afterEntry = {});

} // namespace collection
