// An installed copy in a temporary prefix (with a space in its path): the layout, the
// command line from bin/, and the launcher started through its link in bin/, which must
// still find the main program in the program folder.

#include "tests/launcher/stand_in.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <climits>

#include <unistd.h>

namespace {

const QString kCmake = QStringLiteral(CMAKE_COMMAND_PATH);
const QString kBuildFolder = QStringLiteral(BUILD_FOLDER);
const QString kProgramFolder = QStringLiteral("lib/brantmoor-turnwise");
constexpr int kProcessTimeout = 120000; // ms; only ever reached when something is wrong

struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run RunProgram(const QString& program, const QStringList& args, const QProcessEnvironment& environment)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, args);
    Run run;
    if (!process.waitForStarted() || !process.waitForFinished(kProcessTimeout))
        return run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

// The target of a link as it is written in the link.
QByteArray LinkText(const QString& link)
{
    char target[PATH_MAX];
    const ssize_t size = ::readlink(QFile::encodeName(link).constData(), target, sizeof target);
    return size < 0 ? QByteArray() : QByteArray(target, int(size));
}

} // namespace

class TestInstall : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_runtime;
    QTemporaryDir m_work;
    QString m_prefix;

    QString Installed(const QString& relative) const { return QDir(m_prefix).filePath(relative); }
    QString InProgramFolder(const QString& name) const { return Installed(kProgramFolder + u'/' + name); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_runtime.isValid());
        QVERIFY(m_work.isValid());
        standin::UseRuntimeFolder(m_runtime.path());
        m_prefix = m_work.filePath(QStringLiteral("install prefix"));
        const Run install = RunProgram(kCmake, {QStringLiteral("--install"), kBuildFolder, QStringLiteral("--prefix"), m_prefix},
                                       QProcessEnvironment::systemEnvironment());
        QVERIFY2(install.exitCode == 0, (install.out + install.err).constData());
    }

    void layout()
    {
        QVERIFY(QFileInfo(Installed(QStringLiteral("bin/turnwise"))).isExecutable());
        QVERIFY(QFileInfo(InProgramFolder(QStringLiteral("diviza"))).isExecutable());
        const QString link = Installed(QStringLiteral("bin/diviza"));
        QVERIFY(QFileInfo(link).isSymLink());
        // Relative, so the installed tree works wherever it is unpacked.
        QCOMPARE(LinkText(link), QByteArray("../lib/brantmoor-turnwise/diviza"));
        QCOMPARE(QFileInfo(link).canonicalFilePath(), QFileInfo(InProgramFolder(QStringLiteral("diviza"))).canonicalFilePath());
    }

    void commandLineRuns()
    {
        const Run run = RunProgram(Installed(QStringLiteral("bin/turnwise")), {QStringLiteral("--version")},
                                   QProcessEnvironment::systemEnvironment());
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QByteArrayLiteral("turnwise ") + QByteArray::number(TURNWISE_VERSION_MAJOR) + '.'
                              + QByteArray::number(TURNWISE_VERSION_MINOR) + '.' + QByteArray::number(TURNWISE_VERSION_PATCH)
                              + '.' + QByteArray::number(TURNWISE_VERSION_TWEAK) + '\n');
    }

    // Started through the link in bin/: without a main program the launcher ends with 0 and
    // says nothing; with one (the stand-in) in the program folder it starts that one.
    void launcherFromBin()
    {
        const QString mainProgram = InProgramFolder(QStringLiteral("pivora.bin"));
        QFile::remove(mainProgram); // the real one would want a display
        QTemporaryDir traces(m_work.filePath(QStringLiteral("traces-XXXXXX")));
        QVERIFY(traces.isValid());
        standin::Behaviour behaviour;
        behaviour.folder = traces.path();
        behaviour.wait = false;
        behaviour.end = QStringLiteral("7");
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        behaviour.ApplyTo(environment);

        const Run missing = RunProgram(Installed(QStringLiteral("bin/diviza")), {}, environment);
        QCOMPARE(missing.exitCode, 0);
        QCOMPARE(missing.out, QByteArray());
        QCOMPARE(missing.err, QByteArray());

        QVERIFY(standin::CopyProgram(standin::Program(), InProgramFolder(QString()), QStringLiteral("pivora.bin")));
        const Run started = RunProgram(Installed(QStringLiteral("bin/diviza")), {}, environment);
        QCOMPARE(started.exitCode, 0);
        QCOMPARE(standin::Traces(traces.path(), QStringLiteral("child-")).size(), 1);
        QCOMPARE(standin::Traces(traces.path(), QStringLiteral("ending-")).size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestInstall)
#include "tst_install.moc"
