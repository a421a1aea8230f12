#include "platform/file_version.h"

#include "platform/path_text.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

constexpr unsigned char kRecordMagic[8] = {'T', 'W', 'V', 'E', 'R', 'S', 0, 1};

static_assert(TURNWISE_VERSION_MAJOR >= 0 && TURNWISE_VERSION_MAJOR <= 0xFFFF, "major number out of range");
static_assert(TURNWISE_VERSION_MINOR >= 0 && TURNWISE_VERSION_MINOR <= 0xFFFF, "minor number out of range");
static_assert(TURNWISE_VERSION_PATCH >= 0 && TURNWISE_VERSION_PATCH <= 0xFFFF, "build number out of range");
static_assert(TURNWISE_VERSION_TWEAK >= 0 && TURNWISE_VERSION_TWEAK <= 0xFFFF, "revision out of range");

constexpr quint32 kBuiltHigh =
    static_cast<quint32>(TURNWISE_VERSION_MAJOR) << 16 | static_cast<quint32>(TURNWISE_VERSION_MINOR);
constexpr quint32 kBuiltLow =
    static_cast<quint32>(TURNWISE_VERSION_PATCH) << 16 | static_cast<quint32>(TURNWISE_VERSION_TWEAK);

constexpr unsigned char ByteOf(quint32 value, int index)
{
    return static_cast<unsigned char>(value >> (8 * index));
}

// The record of this build. `used` keeps the compiler from dropping it although nothing reads
// it through the program; living in the same object file as the functions below keeps the
// linker from leaving it out of a program that takes this file from a static library.
__attribute__((used, section(".turnwise_version"))) const unsigned char kVersionRecord[kVersionRecordSize] = {
    kRecordMagic[0], kRecordMagic[1], kRecordMagic[2], kRecordMagic[3],
    kRecordMagic[4], kRecordMagic[5], kRecordMagic[6], kRecordMagic[7],
    ByteOf(kBuiltHigh, 0), ByteOf(kBuiltHigh, 1), ByteOf(kBuiltHigh, 2), ByteOf(kBuiltHigh, 3),
    ByteOf(kBuiltLow, 0), ByteOf(kBuiltLow, 1), ByteOf(kBuiltLow, 2), ByteOf(kBuiltLow, 3),
};

// ELF constants (the values of <elf.h>, named here for both classes at once).
constexpr int kIdentSize = 16;
constexpr int kClassIndex = 4, kDataIndex = 5, kVersionIndex = 6;
constexpr unsigned char kClass32 = 1, kClass64 = 2;
constexpr unsigned char kDataLittle = 1, kDataBig = 2;
constexpr unsigned char kCurrentVersion = 1;
constexpr quint64 kNoBitsType = 8; // SHT_NOBITS: the section takes no room in the file
constexpr quint64 kExtendedIndex = 0xFFFF; // SHN_XINDEX: the real index is in section 0

// The file fields' places, which differ between the 32- and 64-bit classes.
struct ElfLayout {
    int headerSize;
    int sectionTableOffsetAt, addressWidth;
    int entrySizeAt, countAt, namesIndexAt;
    int smallestEntry; // the size of one section header
    int nameAt, typeAt, offsetAt, sizeAt, linkAt;
};
constexpr ElfLayout kLayout32{52, 32, 4, 46, 48, 50, 40, 0, 4, 16, 20, 24};
constexpr ElfLayout kLayout64{64, 40, 8, 58, 60, 62, 64, 0, 4, 24, 32, 40};

// The section header table and the section names are read whole; real programs need a few
// kilobytes for them, so anything beyond these limits is refused rather than read.
constexpr quint64 kLargestSectionTable = 4u << 20;
constexpr quint64 kLargestNameTable = 1u << 20;

// A regular file opened for reading at given offsets, every read checked against its size.
class CheckedFile {
public:
    explicit CheckedFile(const QString& path)
    {
        // O_NONBLOCK: a pipe or a device at the path must never hold the caller up.
        m_fd = ::open(NarrowPath(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        struct stat st {};
        if (m_fd < 0 || ::fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0)
            return;
        m_size = static_cast<quint64>(st.st_size);
        m_ok = true;
    }
    ~CheckedFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    CheckedFile(const CheckedFile&) = delete;
    CheckedFile& operator=(const CheckedFile&) = delete;

    bool IsOpen() const { return m_ok; }

    // Reads exactly `size` bytes at `offset`; false when they do not all lie in the file.
    bool Read(quint64 offset, quint64 size, unsigned char* out) const
    {
        if (!m_ok || offset > m_size || size > m_size - offset)
            return false;
        while (size > 0) {
            const ssize_t got = ::pread(m_fd, out, size, static_cast<off_t>(offset));
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                return false; // an error, or the file shrank while being read
            out += got;
            offset += static_cast<quint64>(got);
            size -= static_cast<quint64>(got);
        }
        return true;
    }

private:
    int m_fd = -1;
    quint64 m_size = 0;
    bool m_ok = false;
};

// Reads an unsigned field of `width` bytes at `at` in `bytes`, which the caller has checked
// to hold it.
quint64 FieldAt(const unsigned char* bytes, int at, int width, bool bigEndian)
{
    quint64 value = 0;
    for (int i = 0; i < width; ++i) {
        const unsigned char byte = bytes[at + (bigEndian ? i : width - 1 - i)];
        value = value << 8 | byte;
    }
    return value;
}

quint32 LittleEndian32(const unsigned char* bytes)
{
    return static_cast<quint32>(FieldAt(bytes, 0, 4, false));
}

struct Section {
    quint64 name = 0, type = 0, offset = 0, size = 0, link = 0;
};

bool ReadVersionRecord(const QString& path, FileVersion& version)
{
    const CheckedFile file(path);
    if (!file.IsOpen())
        return false;

    unsigned char header[64] = {};
    if (!file.Read(0, kIdentSize, header) || std::memcmp(header, "\177ELF", 4) != 0)
        return false;
    const unsigned char elfClass = header[kClassIndex];
    const unsigned char data = header[kDataIndex];
    if ((elfClass != kClass32 && elfClass != kClass64) || (data != kDataLittle && data != kDataBig) ||
        header[kVersionIndex] != kCurrentVersion)
        return false;
    const ElfLayout& layout = elfClass == kClass64 ? kLayout64 : kLayout32;
    const bool big = data == kDataBig;
    if (!file.Read(kIdentSize, static_cast<quint64>(layout.headerSize - kIdentSize), header + kIdentSize))
        return false;

    const quint64 tableOffset = FieldAt(header, layout.sectionTableOffsetAt, layout.addressWidth, big);
    const quint64 entrySize = FieldAt(header, layout.entrySizeAt, 2, big);
    quint64 count = FieldAt(header, layout.countAt, 2, big);
    quint64 namesIndex = FieldAt(header, layout.namesIndexAt, 2, big);
    if (tableOffset == 0 || entrySize < static_cast<quint64>(layout.smallestEntry))
        return false;

    std::vector<unsigned char> entry(entrySize); // at most 64 KiB: the field has two bytes
    const auto sectionAt = [&](const unsigned char* bytes) {
        Section s;
        s.name = FieldAt(bytes, layout.nameAt, 4, big);
        s.type = FieldAt(bytes, layout.typeAt, 4, big);
        s.offset = FieldAt(bytes, layout.offsetAt, layout.addressWidth, big);
        s.size = FieldAt(bytes, layout.sizeAt, layout.addressWidth, big);
        s.link = FieldAt(bytes, layout.linkAt, 4, big);
        return s;
    };

    // With many sections the real count and the names' index live in section 0.
    if (count == 0 || namesIndex == kExtendedIndex) {
        if (!file.Read(tableOffset, entrySize, entry.data()))
            return false;
        const Section first = sectionAt(entry.data());
        if (count == 0)
            count = first.size;
        if (namesIndex == kExtendedIndex)
            namesIndex = first.link;
    }
    if (count == 0 || namesIndex >= count || count > kLargestSectionTable / entrySize)
        return false;

    std::vector<unsigned char> table(count * entrySize);
    if (!file.Read(tableOffset, table.size(), table.data()))
        return false;

    const Section names = sectionAt(table.data() + namesIndex * entrySize);
    if (names.type == kNoBitsType || names.size == 0 || names.size > kLargestNameTable)
        return false;
    std::vector<unsigned char> nameTable(names.size);
    if (!file.Read(names.offset, nameTable.size(), nameTable.data()))
        return false;

    const quint64 wantedLength = sizeof(kVersionSectionName); // with its terminating zero
    for (quint64 i = 1; i < count; ++i) {
        const Section section = sectionAt(table.data() + i * entrySize);
        if (section.name >= nameTable.size() || wantedLength > nameTable.size() - section.name ||
            std::memcmp(nameTable.data() + section.name, kVersionSectionName, wantedLength) != 0)
            continue;
        unsigned char record[kVersionRecordSize] = {};
        if (section.type == kNoBitsType || section.size < static_cast<quint64>(kVersionRecordSize) ||
            !file.Read(section.offset, kVersionRecordSize, record) ||
            std::memcmp(record, kRecordMagic, sizeof(kRecordMagic)) != 0)
            return false;
        version.high = LittleEndian32(record + 8);
        version.low = LittleEndian32(record + 12);
        return true;
    }
    return false;
}

} // namespace

FileVersion BuiltFileVersion()
{
    return {kBuiltHigh, kBuiltLow};
}

bool GetFileVersion(const QString& path, quint32* high, quint32* low)
{
    FileVersion version;
    if (!ReadVersionRecord(path, version))
        return false;
    if (high)
        *high = version.high;
    if (low)
        *low = version.low;
    return true;
}

FileVersion ProgramFileVersion()
{
    // The link in /proc opens the very file this process runs from, even when a newer file
    // has since been put in its place.
    FileVersion version;
    if (!GetFileVersion(QStringLiteral("/proc/self/exe"), &version.high, &version.low))
        return {};
    return version;
}

} // namespace platform
