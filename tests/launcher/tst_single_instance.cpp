// The per-user single-instance guard: one holder per name, in this process and across
// processes, released by destruction or by the holder's death; lock file names from any
// text; the private folder that holds them.

#include "platform/single_instance.h"
#include "tests/launcher/stand_in.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>

#include <sys/stat.h>
#include <unistd.h>

using platform::SingleInstanceGuard;
using State = SingleInstanceGuard::State;

Q_DECLARE_METATYPE(State)

namespace {

// Restores an environment variable when the scope ends.
class ScopedVariable {
public:
    ScopedVariable(const char* name, std::optional<QByteArray> value) : m_name(name)
    {
        if (qEnvironmentVariableIsSet(name))
            m_previous = qgetenv(name);
        Set(value);
    }
    ~ScopedVariable() { Set(m_previous); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    void Set(const std::optional<QByteArray>& value)
    {
        if (value)
            qputenv(m_name, *value);
        else
            qunsetenv(m_name);
    }
    const char* m_name;
    std::optional<QByteArray> m_previous;
};

mode_t ModeOf(const QString& path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode : 0;
}

const QString kLongJapanese = QString(300, QChar(0x30BF)); // 300 × "タ", 900 bytes of UTF-8

} // namespace

class TestSingleInstance : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_runtime; // stands in for $XDG_RUNTIME_DIR
    QTemporaryDir m_work;
    QString m_folder;        // the guards' folder in it

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_runtime.isValid());
        QVERIFY(m_work.isValid());
        standin::UseRuntimeFolder(m_runtime.path());
        m_folder = platform::SingleInstanceFolder();
        QVERIFY2(!m_folder.isEmpty(), "no private folder for the guards");
    }

    void oneHolderPerName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("launcher") << QStringLiteral("PivoraDiviza");
        QTest::newRow("English title") << QStringLiteral("Brantmoor Turnwise");
        QTest::newRow("Japanese title") << QStringLiteral("ターンワイズ");
        QTest::newRow("separators and dots") << QStringLiteral("../a/b\\c");
        QTest::newRow("dot dot") << QStringLiteral("..");
        QTest::newRow("empty") << QString();
        QTest::newRow("longer than a file name") << kLongJapanese;
    }
    void oneHolderPerName()
    {
        QFETCH(QString, name);
        auto first = std::make_unique<SingleInstanceGuard>(name);
        QCOMPARE(first->GetState(), State::Held);
        QCOMPARE(QFileInfo(first->LockPath()).absolutePath() + u'/', m_folder);
        {
            const SingleInstanceGuard second(name);
            QCOMPARE(second.GetState(), State::HeldElsewhere);
        }
        QCOMPARE(first->GetState(), State::Held); // a refused guard does not disturb the holder
        first.reset();
        const SingleInstanceGuard third(name);
        QCOMPARE(third.GetState(), State::Held);
    }

    // Names that a careless encoding would fold into one file.
    void namesDoNotShare_data()
    {
        QTest::addColumn<QString>("one");
        QTest::addColumn<QString>("other");
        QTest::newRow("the two titles") << QStringLiteral("ターンワイズ") << QStringLiteral("Brantmoor Turnwise");
        QTest::newRow("a name and its encoding") << QStringLiteral("a b") << QStringLiteral("a%20b");
        QTest::newRow("case") << QStringLiteral("pivoradiviza") << QStringLiteral("PivoraDiviza");
        QTest::newRow("long names with one start") << kLongJapanese + u'1' << kLongJapanese + u'2';
        // The cut form of a long ASCII name, taken as a name of its own, is short enough to be
        // kept as it stands.
        QTest::newRow("a long name and its cut form")
            << QString(400, u'x') << platform::SingleInstanceFileName(QString(400, u'x')).chopped(5);
    }
    void namesDoNotShare()
    {
        QFETCH(QString, one);
        QFETCH(QString, other);
        QVERIFY(platform::SingleInstanceFileName(one) != platform::SingleInstanceFileName(other));
        const SingleInstanceGuard first(one);
        const SingleInstanceGuard second(other);
        QCOMPARE(first.GetState(), State::Held);
        QCOMPARE(second.GetState(), State::Held);
    }

    void fileNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected"); // empty: only the general rules are checked
        QTest::newRow("ASCII stays") << QStringLiteral("PivoraDiviza") << QStringLiteral("PivoraDiviza.lock");
        QTest::newRow("space, separator, percent")
            << QStringLiteral("a b/c%") << QStringLiteral("a%20b%2Fc%25.lock");
        QTest::newRow("Japanese as UTF-8 bytes")
            << QStringLiteral("ターン") << QStringLiteral("%E3%82%BF%E3%83%BC%E3%83%B3.lock");
        QTest::newRow("dot dot") << QStringLiteral("..") << QStringLiteral("%2E%2E.lock");
        QTest::newRow("long") << kLongJapanese << QString();
        QTest::newRow("long ASCII") << QString(400, u'x') << QString();
    }
    void fileNames()
    {
        QFETCH(QString, name);
        QFETCH(QString, expected);
        const QString fileName = platform::SingleInstanceFileName(name);
        if (!expected.isEmpty())
            QCOMPARE(fileName, expected);
        QVERIFY2(!fileName.contains(u'/'), qPrintable(fileName));
        QVERIFY2(fileName.endsWith(u".lock"), qPrintable(fileName));
        QVERIFY2(fileName.toUtf8().size() < 255, qPrintable(QString::number(fileName.toUtf8().size())));
        // Other files of the same name differ only in the suffix.
        QCOMPARE(platform::SingleInstanceFileName(name, QStringLiteral(".socket")),
                 fileName.chopped(5) + QStringLiteral(".socket"));
    }

    // The guard of a process that ended is free again, however it ended; the stand-in holds
    // the guard in its own process.
    void otherProcess_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("killed");
        QTest::newRow("ends normally") << QStringLiteral("Brantmoor Turnwise") << false;
        QTest::newRow("killed") << QStringLiteral("Brantmoor Turnwise") << true;
        QTest::newRow("Japanese name, killed") << QStringLiteral("ターンワイズ") << true;
    }
    void otherProcess()
    {
        QFETCH(QString, name);
        QFETCH(bool, killed);
        QTemporaryDir traces(m_work.filePath(QStringLiteral("traces-XXXXXX")));
        QVERIFY(traces.isValid());
        standin::Behaviour behaviour;
        behaviour.folder = traces.path();
        behaviour.guard = name;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        behaviour.ApplyTo(environment);
        QProcess holder;
        holder.setProcessEnvironment(environment);
        holder.start(standin::Program(), {});
        QVERIFY2(holder.waitForStarted(), qPrintable(holder.errorString()));
        QTRY_COMPARE_WITH_TIMEOUT(standin::Traces(traces.path(), QStringLiteral("child-")).size(), 1, 30000);

        QCOMPARE(SingleInstanceGuard(name).GetState(), State::HeldElsewhere);
        if (killed)
            holder.kill();
        else
            QVERIFY(standin::Release(traces.path()));
        QVERIFY(holder.waitForFinished(30000));
        QCOMPARE(holder.exitStatus(), killed ? QProcess::CrashExit : QProcess::NormalExit);
        QCOMPARE(SingleInstanceGuard(name).GetState(), State::Held);
    }

    void noFolderFails()
    {
        const SingleInstanceGuard inNowhere(QStringLiteral("x"), m_work.filePath(QStringLiteral("missing/")));
        QCOMPARE(inNowhere.GetState(), State::Failed);
        const SingleInstanceGuard withoutFolder(QStringLiteral("x"), QString());
        QCOMPARE(withoutFolder.GetState(), State::Failed);
    }

    // Where the folder goes: the session's runtime folder when it is private, else a folder of
    // this user in the temporary folder, never one that others could have prepared.
    void folderChoice_data()
    {
        QTest::addColumn<QString>("runtime"); // "private", "open", "relative", "unset"
        QTest::addColumn<QString>("prepared"); // the temporary folder's guard folder beforehand: "", "open", "link"
        QTest::addColumn<QString>("expected"); // "runtime", "temp", "none"
        QTest::newRow("private runtime folder") << "private" << "" << "runtime";
        QTest::newRow("no runtime folder") << "unset" << "" << "temp";
        QTest::newRow("runtime folder others may enter") << "open" << "" << "temp";
        QTest::newRow("relative runtime folder") << "relative" << "" << "temp";
        QTest::newRow("temporary folder's one already there") << "unset" << "private" << "temp";
        QTest::newRow("temporary folder's one open to others") << "unset" << "open" << "none";
        QTest::newRow("temporary folder's one is a link") << "unset" << "link" << "none";
    }
    void folderChoice()
    {
        QFETCH(QString, runtime);
        QFETCH(QString, prepared);
        QFETCH(QString, expected);
        QTemporaryDir scratch(m_work.filePath(QStringLiteral("folders-XXXXXX")));
        QVERIFY(scratch.isValid());
        const QString runtimeFolder = scratch.filePath(QStringLiteral("run"));
        const QString tempFolder = scratch.filePath(QStringLiteral("tmp"));
        QVERIFY(QDir().mkpath(runtimeFolder) && QDir().mkpath(tempFolder));
        QVERIFY(::chmod(QFile::encodeName(runtimeFolder).constData(), runtime == u"open" ? 0755 : 0700) == 0);
        const QString tempGuards = tempFolder + QStringLiteral("/brantmoor-turnwise-") + QString::number(::geteuid());
        if (prepared == u"private" || prepared == u"open") {
            QVERIFY(QDir().mkpath(tempGuards));
            QVERIFY(::chmod(QFile::encodeName(tempGuards).constData(), prepared == u"open" ? 0777 : 0700) == 0);
        } else if (prepared == u"link") {
            const QString elsewhere = scratch.filePath(QStringLiteral("elsewhere"));
            QVERIFY(QDir().mkpath(elsewhere));
            QVERIFY(::chmod(QFile::encodeName(elsewhere).constData(), 0700) == 0);
            QVERIFY(QFile::link(elsewhere, tempGuards));
        }

        std::optional<QByteArray> runtimeValue;
        if (runtime == u"relative")
            runtimeValue = QByteArrayLiteral("run");
        else if (runtime != u"unset")
            runtimeValue = QFile::encodeName(runtimeFolder);
        const ScopedVariable runtimeVariable("XDG_RUNTIME_DIR", runtimeValue);
        const ScopedVariable tempVariable("TMPDIR", QFile::encodeName(tempFolder));
        const QString previousFolder = QDir::currentPath();
        QVERIFY(QDir::setCurrent(scratch.path())); // so that the relative "run" exists
        const QString folder = platform::SingleInstanceFolder();
        QVERIFY(QDir::setCurrent(previousFolder));

        if (expected == u"none") {
            QCOMPARE(folder, QString());
            QCOMPARE(SingleInstanceGuard(QStringLiteral("x"), folder).GetState(), State::Failed);
            return;
        }
        const QString wanted = expected == u"runtime" ? runtimeFolder + QStringLiteral("/brantmoor-turnwise/")
                                                      : tempGuards + u'/';
        QCOMPARE(folder, wanted);
        QCOMPARE(ModeOf(folder) & 07777, mode_t(0700));
        SingleInstanceGuard guard(QStringLiteral("x"), folder);
        QCOMPARE(guard.GetState(), State::Held);
        QCOMPARE(ModeOf(guard.LockPath()) & 077, mode_t(0));
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_single_instance.moc"
