// The file layer: exclusive writes that never leave a broken file, listings that report
// folders they cannot read, and the program's own folder.

#include "platform/file_system.h"
#include "platform/module_folder.h"
#include "platform/path_text.h"
#include "tests/support/access_rights.h"
#include "tests/support/jpeg_fixtures.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

// Limits the size of files this process may write, as a full disk would.
class ScopedFileSizeLimit {
public:
    explicit ScopedFileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_saved);
        m_previousHandler = std::signal(SIGXFSZ, SIG_IGN); // report EFBIG instead of ending the process
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        m_ok = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~ScopedFileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_previousHandler);
    }
    ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
    ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;
    bool ok() const { return m_ok; }

private:
    rlimit m_saved{};
    void (*m_previousHandler)(int) = nullptr;
    bool m_ok = false;
};

} // namespace

class TestFileSystem : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void writesNewFilesOnly()
    {
        QTemporaryDir dir;
        const QByteArray path = platform::NarrowPath(dir.filePath(QStringLiteral("a.bin")));
        const QByteArray bytes(3000, 'x');
        const auto data = reinterpret_cast<const unsigned char*>(bytes.constData());
        QString error;
        QCOMPARE(platform::WriteNewFile(path, data, std::size_t(bytes.size()), &error), platform::CreateResult::Created);
        QCOMPARE(testsupport::ReadFile(QString::fromLocal8Bit(path)), bytes);
        QCOMPARE(platform::WriteNewFile(path, data, 1, &error), platform::CreateResult::Exists);
        QCOMPARE(testsupport::ReadFile(QString::fromLocal8Bit(path)), bytes);
    }

    void failedWriteLeavesNoFile()
    {
        QTemporaryDir dir;
        const QByteArray path = platform::NarrowPath(dir.filePath(QStringLiteral("big.bin")));
        const QByteArray bytes(64 * 1024, 'y');
        QString error;
        platform::CreateResult result;
        {
            const ScopedFileSizeLimit limit(4096);
            QVERIFY(limit.ok());
            result = platform::WriteNewFile(path, reinterpret_cast<const unsigned char*>(bytes.constData()),
                                            std::size_t(bytes.size()), &error);
        }
        QCOMPARE(result, platform::CreateResult::Failed);
        QVERIFY(!error.isEmpty());
        QVERIFY2(!QFile::exists(QString::fromLocal8Bit(path)), "a half-written file was left behind");
    }

    void readsRegularFilesOnly()
    {
        QTemporaryDir dir;
        platform::FileContents bytes;
        QString error;
        QVERIFY(!platform::ReadWholeFile(platform::NarrowPath(dir.path()), bytes, &error));
        QVERIFY(!error.isEmpty());
        const QByteArray fifo = platform::NarrowPath(dir.filePath(QStringLiteral("fifo")));
        QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
        QVERIFY2(!platform::ReadWholeFile(fifo, bytes, &error), "a pipe must not be read (it could block forever)");
        QVERIFY(!platform::ReadWholeFile(platform::NarrowPath(dir.filePath(QStringLiteral("missing"))), bytes, &error));
    }

    void listsFoldersAndReportsUnreadableOnes()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("sub")));
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("sub")), dir.filePath(QStringLiteral("link"))));
        QVERIFY(testsupport::WriteFile(dir.filePath(QStringLiteral("f.jpg")), "x"));
        QMap<QString, bool> seen;
        QVERIFY(platform::ListFolder(dir.path(), [&](const QString& name, bool isFolder) {
            seen.insert(name, isFolder);
            return true;
        }));
        const QMap<QString, bool> expected{{QStringLiteral("sub"), true}, {QStringLiteral("link"), true}, {QStringLiteral("f.jpg"), false}};
        QCOMPARE(seen, expected);

        QVERIFY(!platform::ListFolder(dir.filePath(QStringLiteral("missing")), [](const QString&, bool) { return true; }));
        QVERIFY(QFile::setPermissions(dir.filePath(QStringLiteral("sub")), QFileDevice::Permissions()));
        const testsupport::ScopedPermissionChecks checks;
        if (!checks.active())
            QSKIP("permissions cannot be made to apply to this process");
        QVERIFY(!platform::ListFolder(dir.filePath(QStringLiteral("sub")), [](const QString&, bool) { return true; }));
    }

    void moduleFolderIsTheProgramsFolder()
    {
        QCOMPARE(platform::GetModuleFolder(), QCoreApplication::applicationDirPath() + u'/');
    }
};

QTEST_GUILESS_MAIN(TestFileSystem)
#include "tst_file_system.moc"
