#pragma once
// The four-part file version of a program file.
//
// Every program that links this library carries its build's version in an ELF section of
// its own, kVersionSectionName, holding one fixed record of kVersionRecordSize bytes:
//   bytes 0..7   the magic "TWVERS", a zero byte and the record format (1)
//   bytes 8..11  the high half: major << 16 | minor, little-endian
//   bytes 12..15 the low half: build << 16 | revision, little-endian
// The record's byte order is fixed whatever the file's, so a record can be written by hand
// (e.g. with objcopy --update-section) and read back from any ELF file.

#include <QtGlobal>
#include <QString>

namespace platform {

inline constexpr char kVersionSectionName[] = ".turnwise_version";
inline constexpr int kVersionRecordSize = 16;

struct FileVersion {
    quint32 high = 0; // major << 16 | minor
    quint32 low = 0;  // build << 16 | revision

    int Major() const { return static_cast<int>(high >> 16); }
    int Minor() const { return static_cast<int>(high & 0xFFFF); }
    int Build() const { return static_cast<int>(low >> 16); }
    int Revision() const { return static_cast<int>(low & 0xFFFF); }

    friend bool operator==(const FileVersion& a, const FileVersion& b)
    {
        return a.high == b.high && a.low == b.low;
    }
    friend bool operator!=(const FileVersion& a, const FileVersion& b) { return !(a == b); }
};

// The version this build embeds (the project's version).
FileVersion BuiltFileVersion();

// Reads the version record of the ELF file at `path` (32 or 64 bits, either byte order) into
// `high` and `low`, each where given. False, with nothing stored, when the path is not a
// regular file, is not an ELF file, is damaged, or carries no valid record. Only the headers
// and the record are read, every offset and size in the file is checked against the file
// before use, and opening never waits on a pipe.
bool GetFileVersion(const QString& path, quint32* high, quint32* low);

// The version of the running program's own file; {0, 0} when it cannot be read.
FileVersion ProgramFileVersion();

} // namespace platform
