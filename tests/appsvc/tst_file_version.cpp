// The version embedded in program files: this program's own, a record rewritten with
// objcopy, files of every ELF class and byte order, and files that must give false
// without a crash: damaged, truncated or hostile headers, and paths that are not files.

#include "platform/file_version.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#include <functional>

#include <elf.h>
#include <sys/stat.h>

namespace {

struct Version4 {
    quint16 major, minor, build, revision;
    quint32 High() const { return quint32(major) << 16 | minor; }
    quint32 Low() const { return quint32(build) << 16 | revision; }
};

// The record as the file format defines it, written out byte by byte.
QByteArray Record(quint32 high, quint32 low)
{
    QByteArray bytes("TWVERS", 6);
    bytes += '\0';
    bytes += '\1';
    for (const quint32 half : {high, low}) {
        for (int i = 0; i < 4; ++i)
            bytes += static_cast<char>(half >> (8 * i) & 0xFF);
    }
    return bytes;
}

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs a tool of binutils; the message says what failed.
QString RunTool(const QString& tool, const QStringList& arguments)
{
    const QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty())
        return tool + QStringLiteral(" not found");
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return tool + QStringLiteral(" failed: ") + QString::fromLocal8Bit(process.readAllStandardError());
    return {};
}

// This test program's own file, which is a native 64-bit little-endian ELF file; the damaged
// copies below are made from it by changing one header field each.
const QByteArray& OwnProgram()
{
    static const QByteArray bytes = ReadFile(QCoreApplication::applicationFilePath());
    return bytes;
}

bool IsElf64Little(const QByteArray& bytes)
{
    return bytes.size() >= qsizetype(sizeof(Elf64_Ehdr)) && bytes.startsWith("\177ELF") &&
           bytes[EI_CLASS] == ELFCLASS64 && bytes[EI_DATA] == ELFDATA2LSB;
}

Elf64_Ehdr* HeaderOf(QByteArray& bytes)
{
    return reinterpret_cast<Elf64_Ehdr*>(bytes.data());
}

Elf64_Shdr* SectionOf(QByteArray& bytes, int index)
{
    return reinterpret_cast<Elf64_Shdr*>(bytes.data() + HeaderOf(bytes)->e_shoff +
                                         qsizetype(index) * HeaderOf(bytes)->e_shentsize);
}

// The header of the named section in a well-formed native file, or null.
Elf64_Shdr* NamedSection(QByteArray& bytes, const char* name)
{
    const Elf64_Ehdr* header = HeaderOf(bytes);
    const Elf64_Shdr* names = SectionOf(bytes, header->e_shstrndx);
    for (int i = 1; i < header->e_shnum; ++i) {
        Elf64_Shdr* section = SectionOf(bytes, i);
        if (std::strcmp(bytes.constData() + names->sh_offset + section->sh_name, name) == 0)
            return section;
    }
    return nullptr;
}

using Damage = std::function<void(QByteArray&)>;

// A copy of this program with one change made through the ELF structures.
QByteArray Damaged(const Damage& damage)
{
    QByteArray bytes = OwnProgram();
    damage(bytes);
    return bytes;
}

void DamageVersionSection(QByteArray& bytes, const std::function<void(Elf64_Shdr&)>& change)
{
    if (Elf64_Shdr* section = NamedSection(bytes, platform::kVersionSectionName))
        change(*section);
    else
        bytes.clear(); // the test checks for the section first; this never passes silently
}

} // namespace

class TestFileVersion : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString PathFor(const QString& name) const { return m_dir.filePath(name); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY2(IsElf64Little(OwnProgram()), "the test program is not a 64-bit little-endian ELF file");
        QByteArray copy = OwnProgram();
        QVERIFY2(NamedSection(copy, platform::kVersionSectionName), "the test program carries no version section");
    }

    void readsTheProjectVersionFromItsOwnFile()
    {
        const Version4 project{TURNWISE_VERSION_MAJOR, TURNWISE_VERSION_MINOR, TURNWISE_VERSION_PATCH,
                               TURNWISE_VERSION_TWEAK};
        quint32 high = 0xDEAD, low = 0xBEEF;
        QVERIFY(platform::GetFileVersion(QCoreApplication::applicationFilePath(), &high, &low));
        QCOMPARE(high, project.High());
        QCOMPARE(low, project.Low());

        const platform::FileVersion running = platform::ProgramFileVersion();
        QCOMPARE(running.high, project.High());
        QCOMPARE(running.low, project.Low());
        QCOMPARE(running.Major(), int(TURNWISE_VERSION_MAJOR));
        QCOMPARE(running.Revision(), int(TURNWISE_VERSION_TWEAK));
        QVERIFY(platform::BuiltFileVersion() == running);
    }

    void readsARecordRewrittenByObjcopy_data()
    {
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<int>("build");
        QTest::addColumn<int>("revision");
        QTest::newRow("1.1.1.4") << 1 << 1 << 1 << 4;
        QTest::newRow("every number at its largest") << 65535 << 65535 << 65535 << 65535;
        QTest::newRow("0.0.0.0") << 0 << 0 << 0 << 0;
    }
    void readsARecordRewrittenByObjcopy()
    {
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(int, build);
        QFETCH(int, revision);
        const Version4 wanted{quint16(major), quint16(minor), quint16(build), quint16(revision)};
        const QString record = PathFor(QStringLiteral("record.bin"));
        const QString rewritten = PathFor(QStringLiteral("rewritten"));
        QVERIFY(WriteFile(record, Record(wanted.High(), wanted.Low())));
        const QString error = RunTool(QStringLiteral("objcopy"),
                                      {QStringLiteral("--update-section"),
                                       QLatin1String(platform::kVersionSectionName) + u'=' + record,
                                       QCoreApplication::applicationFilePath(), rewritten});
        if (error.endsWith(QStringLiteral("not found")))
            QSKIP("objcopy (binutils) is not installed");
        QVERIFY2(error.isEmpty(), qPrintable(error));

        quint32 high = 0, low = 0;
        QVERIFY(platform::GetFileVersion(rewritten, &high, &low));
        const platform::FileVersion read{high, low};
        QCOMPARE(read.Major(), major);
        QCOMPARE(read.Minor(), minor);
        QCOMPARE(read.Build(), build);
        QCOMPARE(read.Revision(), revision);

        // Either half alone may be asked for.
        quint32 onlyLow = 0;
        QVERIFY(platform::GetFileVersion(rewritten, nullptr, &onlyLow));
        QCOMPARE(onlyLow, wanted.Low());
        QVERIFY(platform::GetFileVersion(rewritten, nullptr, nullptr));
    }

    // Files of the other classes and byte orders, made by objcopy as a peer: an object file
    // whose only section holds the record.
    void readsEveryClassAndByteOrder_data()
    {
        QTest::addColumn<QString>("format");
        QTest::newRow("32-bit little-endian") << QStringLiteral("elf32-little");
        QTest::newRow("32-bit big-endian") << QStringLiteral("elf32-big");
        QTest::newRow("64-bit little-endian") << QStringLiteral("elf64-little");
        QTest::newRow("64-bit big-endian") << QStringLiteral("elf64-big");
    }
    void readsEveryClassAndByteOrder()
    {
        QFETCH(QString, format);
        const Version4 wanted{1, 1, 1, 4};
        const QString record = PathFor(QStringLiteral("record.bin"));
        const QString object = PathFor(format + QStringLiteral(".o"));
        QVERIFY(WriteFile(record, Record(wanted.High(), wanted.Low())));
        const QString error = RunTool(QStringLiteral("objcopy"),
                                      {QStringLiteral("-I"), QStringLiteral("binary"), QStringLiteral("-O"), format,
                                       QStringLiteral("--rename-section"),
                                       QStringLiteral(".data=") + QLatin1String(platform::kVersionSectionName),
                                       record, object});
        if (error.endsWith(QStringLiteral("not found")))
            QSKIP("objcopy (binutils) is not installed");
        QVERIFY2(error.isEmpty(), qPrintable(error));

        quint32 high = 0, low = 0;
        QVERIFY(platform::GetFileVersion(object, &high, &low));
        QCOMPARE(high, wanted.High());
        QCOMPARE(low, wanted.Low());
    }

    // Every row must give false, store nothing, and read nothing outside the file (the
    // sanitizer build catches a read outside a buffer).
    void refusesDamagedFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray& own = OwnProgram();
        QTest::newRow("text file") << QByteArray("Brantmoor Turnwise 1.1.1.4\n");
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("ELF magic only") << QByteArray("\177ELF");
        QTest::newRow("truncated after the file header") << own.left(sizeof(Elf64_Ehdr));
        QTest::newRow("truncated copy") << own.left(own.size() / 2);
        QTest::newRow("truncated inside the section headers") << own.left(own.size() - 10);
        QTest::newRow("unknown class") << Damaged([](QByteArray& b) { b[EI_CLASS] = 3; });
        QTest::newRow("unknown byte order") << Damaged([](QByteArray& b) { b[EI_DATA] = 0; });
        QTest::newRow("section headers past the end") << Damaged([](QByteArray& b) {
            HeaderOf(b)->e_shoff = Elf64_Off(b.size()) - 8;
        });
        QTest::newRow("section headers' offset wraps around") << Damaged([](QByteArray& b) {
            HeaderOf(b)->e_shoff = ~Elf64_Off(0) - 16;
        });
        QTest::newRow("no section headers") << Damaged([](QByteArray& b) { HeaderOf(b)->e_shoff = 0; });
        QTest::newRow("section count past the end") << Damaged([](QByteArray& b) { HeaderOf(b)->e_shnum = 0xFFFE; });
        QTest::newRow("section header too small") << Damaged([](QByteArray& b) { HeaderOf(b)->e_shentsize = 8; });
        QTest::newRow("names index out of range") << Damaged([](QByteArray& b) {
            HeaderOf(b)->e_shstrndx = HeaderOf(b)->e_shnum;
        });
        QTest::newRow("huge extended section count") << Damaged([](QByteArray& b) {
            SectionOf(b, 0)->sh_size = Elf64_Xword(1) << 40;
            HeaderOf(b)->e_shnum = 0;
        });
        QTest::newRow("extended names index out of range") << Damaged([](QByteArray& b) {
            SectionOf(b, 0)->sh_link = 0xFFFFFFFF;
            HeaderOf(b)->e_shstrndx = SHN_XINDEX;
        });
        QTest::newRow("names past the end") << Damaged([](QByteArray& b) {
            SectionOf(b, HeaderOf(b)->e_shstrndx)->sh_offset = Elf64_Off(b.size());
        });
        QTest::newRow("names of a huge size") << Damaged([](QByteArray& b) {
            SectionOf(b, HeaderOf(b)->e_shstrndx)->sh_size = Elf64_Xword(1) << 62;
        });
        QTest::newRow("version section renamed") << Damaged([](QByteArray& b) {
            DamageVersionSection(b, [](Elf64_Shdr& s) { s.sh_name = 0; });
        });
        QTest::newRow("version section's name out of range") << Damaged([](QByteArray& b) {
            DamageVersionSection(b, [](Elf64_Shdr& s) { s.sh_name = 0xFFFFFFF0; });
        });
        QTest::newRow("record past the end") << Damaged([](QByteArray& b) {
            const Elf64_Off end = Elf64_Off(b.size());
            DamageVersionSection(b, [end](Elf64_Shdr& s) { s.sh_offset = end - 4; });
        });
        QTest::newRow("record's offset wraps around") << Damaged([](QByteArray& b) {
            DamageVersionSection(b, [](Elf64_Shdr& s) { s.sh_offset = ~Elf64_Off(0) - 7; });
        });
        QTest::newRow("record too short") << Damaged([](QByteArray& b) {
            DamageVersionSection(b, [](Elf64_Shdr& s) { s.sh_size = 8; });
        });
        QTest::newRow("record takes no room in the file") << Damaged([](QByteArray& b) {
            DamageVersionSection(b, [](Elf64_Shdr& s) { s.sh_type = SHT_NOBITS; });
        });
        QTest::newRow("record of another format") << Damaged([](QByteArray& b) {
            DamageVersionSection(b, [&b](Elf64_Shdr& s) { b[qsizetype(s.sh_offset) + 7] = 2; });
        });
    }
    void refusesDamagedFiles()
    {
        QFETCH(QByteArray, bytes);
        const QString path = PathFor(QStringLiteral("damaged"));
        QFile::remove(path);
        QVERIFY(WriteFile(path, bytes));
        quint32 high = 0xDEAD, low = 0xBEEF;
        QVERIFY(!platform::GetFileVersion(path, &high, &low));
        QCOMPARE(high, 0xDEADu);
        QCOMPARE(low, 0xBEEFu);
    }

    // A copy with its version section removed by objcopy: a program without a version.
    void refusesAProgramWithoutVersion()
    {
        const QString stripped = PathFor(QStringLiteral("without-version"));
        const QString error = RunTool(QStringLiteral("objcopy"),
                                      {QStringLiteral("--remove-section"), QLatin1String(platform::kVersionSectionName),
                                       QCoreApplication::applicationFilePath(), stripped});
        if (error.endsWith(QStringLiteral("not found")))
            QSKIP("objcopy (binutils) is not installed");
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QVERIFY(!platform::GetFileVersion(stripped, nullptr, nullptr));
    }

    // None of these may be opened as a file; a pipe must not hold the caller up.
    void refusesWhatIsNotARegularFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("missing") << QStringLiteral("missing");
        QTest::newRow("folder") << QStringLiteral("folder");
        QTest::newRow("pipe without a writer") << QStringLiteral("pipe");
    }
    void refusesWhatIsNotARegularFile()
    {
        QFETCH(QString, name);
        const QString path = PathFor(name);
        if (name == QStringLiteral("folder"))
            QVERIFY(QDir().mkpath(path));
        if (name == QStringLiteral("pipe") && !QFile::exists(path))
            QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        QVERIFY(!platform::GetFileVersion(path, nullptr, nullptr));
    }
};

QTEST_GUILESS_MAIN(TestFileVersion)
#include "tst_file_version.moc"
