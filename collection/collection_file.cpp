#include "collection/collection_file.h"

#include "platform/path_text.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <cstring>

namespace collection {

QString RecordPath(const char* record)
{
    const void* zero = std::memchr(record, 0, kRecordSize);
    const qsizetype length = zero ? static_cast<const char*>(zero) - record : kRecordSize;
    return platform::WidePath(QByteArray(record, length));
}

EncodedCollection EncodeRecords(const QStringList& paths)
{
    EncodedCollection encoded;
    encoded.bytes.reserve(paths.size() * kRecordSize);
    for (const QString& path : paths) {
        const QByteArray narrow = platform::NarrowPath(path);
        if (narrow.size() >= kRecordSize) {
            encoded.tooLong.append(path);
            continue;
        }
        QByteArray record(kRecordSize, '\0');
        std::memcpy(record.data(), narrow.constData(), std::size_t(narrow.size()));
        encoded.bytes += record;
    }
    return encoded;
}

bool WriteCollectionFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

QString CollectionFilePath(const QString& programFolder, const QString& userDataFolder)
{
    if (!programFolder.isEmpty() && QFileInfo(programFolder).isWritable())
        return QDir(programFolder).filePath(kCollectionFileName);
    QDir().mkpath(userDataFolder);
    return QDir(userDataFolder).filePath(kCollectionFileName);
}

} // namespace collection
