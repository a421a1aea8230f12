#pragma once
// The collection file: one fixed-size record per picture path, in collection order, with
// no header. A record holds the path's narrow form followed by a zero byte; the rest of
// the record is zeros. The number of records is the file length divided by the record
// size; a shorter tail is ignored.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace collection {

inline constexpr int kRecordSize = 512;

// The file's name in its folder.
inline const QString kCollectionFileName = QStringLiteral("IMG.DAT");

// The path held by a record: its bytes up to the first zero, or all of them when the
// record has none. Never reads past the record.
QString RecordPath(const char* record);

struct EncodedCollection {
    QByteArray bytes;
    QStringList tooLong; // paths left out whole because their narrow form does not fit a record
};

// Records for `paths`, in order. A path is never cut: one that does not fit is left out.
EncodedCollection EncodeRecords(const QStringList& paths);

// Replaces the file at `path` with `bytes` atomically: a crash or a full disk leaves
// either the previous file or the new one, never a mix. False when it could not be written.
bool WriteCollectionFile(const QString& path, const QByteArray& bytes);

// Where the collection file lives: in the program's folder when that folder can be
// written, otherwise in `userDataFolder` (created when needed).
QString CollectionFilePath(const QString& programFolder, const QString& userDataFolder);

} // namespace collection
