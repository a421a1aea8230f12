// The launcher with real processes: its logic driven through the library (with a short
// readiness limit where the child never becomes ready), and the built diviza program run from
// a folder whose path holds spaces, with the stand-in as pivora.bin beside it.

#include "launcher/launcher.h"
#include "tests/launcher/stand_in.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <memory>
#include <vector>

#include <signal.h>

using platform::Readiness;
using platform::SingleInstanceGuard;

Q_DECLARE_METATYPE(Readiness)

namespace {

const QString kDiviza = QStringLiteral(DIVIZA_PROGRAM);
const QString kMainProgram = QString::fromUtf16(launcher::kMainProgramName);
const QString kGuardName = QString::fromUtf16(launcher::kGuardName);
constexpr int kProcessTimeout = 30000; // ms; only ever reached when something is wrong

} // namespace

class TestLauncher : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_runtime; // stands in for $XDG_RUNTIME_DIR, for this process and its children
    QTemporaryDir m_work;
    QString m_programFolder; // holds diviza and the stand-in as pivora.bin; its path has spaces
    QString m_traces;        // the stand-ins' traces of the current test
    std::unique_ptr<QTemporaryDir> m_tracesDir;

    QString Child() const { return QDir(m_programFolder).filePath(kMainProgram); }
    QStringList Children() const { return standin::Traces(m_traces, QStringLiteral("child-")); }

    standin::Behaviour Behaviour() const
    {
        standin::Behaviour behaviour;
        behaviour.folder = m_traces;
        return behaviour;
    }

    // A diviza process (from the program folder unless `program` is given) whose children
    // behave as `behaviour` says.
    std::unique_ptr<QProcess> StartLauncher(const standin::Behaviour& behaviour, const QString& program = {})
    {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        behaviour.ApplyTo(environment);
        process->setProcessEnvironment(environment);
        process->setWorkingDirectory(m_work.path());
        process->start(program.isEmpty() ? QDir(m_programFolder).filePath(QStringLiteral("diviza")) : program, {});
        // Settles the state (Starting until then), so that Running later means it still runs.
        process->waitForStarted(kProcessTimeout);
        return process;
    }

    launcher::LauncherOptions Options() const
    {
        launcher::LauncherOptions options;
        options.programFolder = m_programFolder + u'/';
        return options;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_runtime.isValid());
        QVERIFY(m_work.isValid());
        standin::UseRuntimeFolder(m_runtime.path());
        m_programFolder = m_work.filePath(QStringLiteral("Program Files/Brantmoor Turnwise"));
        QVERIFY(QDir().mkpath(m_programFolder));
        QVERIFY(standin::CopyProgram(kDiviza, m_programFolder, QStringLiteral("diviza")));
    }

    void init()
    {
        m_tracesDir = std::make_unique<QTemporaryDir>(m_work.filePath(QStringLiteral("traces-XXXXXX")));
        QVERIFY(m_tracesDir->isValid());
        m_traces = m_tracesDir->path();
        QVERIFY(standin::CopyProgram(standin::Program(), m_programFolder, kMainProgram));
    }

    void cleanup()
    {
        // Lets any stand-in a failed test left behind end.
        standin::Release(m_traces);
        QVERIFY(SingleInstanceGuard(kGuardName).IsHeld());
    }

    // The library: how the wait for readiness ended and how the child ended, for children that
    // signal or not and end in every way. The child ends only after the release, which is
    // given once the launcher has stopped waiting for readiness; so an end reported for a
    // waiting child proves that the launcher went on to wait for it.
    void runsChild_data()
    {
        QTest::addColumn<bool>("ready");
        QTest::addColumn<bool>("wait");
        QTest::addColumn<QString>("end");
        QTest::addColumn<Readiness>("readiness");
        QTest::addColumn<bool>("crashed");
        QTest::addColumn<int>("code");
        QTest::newRow("ready, ends with 0") << true << true << "0" << Readiness::Ready << false << 0;
        QTest::newRow("ready, ends with 3") << true << true << "3" << Readiness::Ready << false << 3;
        QTest::newRow("ready, killed") << true << true << "kill" << Readiness::Ready << true << int(SIGKILL);
        QTest::newRow("ends with 42 before ready") << false << false << "42" << Readiness::Ended << false << 42;
        QTest::newRow("killed before ready") << false << false << "kill" << Readiness::Ended << true << int(SIGKILL);
        QTest::newRow("never ready, ends with 5") << false << true << "5" << Readiness::TimedOut << false << 5;
    }
    void runsChild()
    {
        QFETCH(bool, ready);
        QFETCH(bool, wait);
        QFETCH(QString, end);
        QFETCH(Readiness, readiness);
        QFETCH(bool, crashed);
        QFETCH(int, code);
        standin::Behaviour behaviour = Behaviour();
        behaviour.ready = ready;
        behaviour.wait = wait;
        behaviour.end = end;
        behaviour.ApplyToThisProcess();

        launcher::LauncherOptions options = Options();
        if (readiness == Readiness::TimedOut)
            options.readyTimeout = std::chrono::milliseconds(200); // it would never come anyway
        std::vector<Readiness> seen;
        options.readinessKnown = [&](Readiness r) {
            seen.push_back(r);
            QVERIFY(standin::Release(m_traces));
        };
        const launcher::LaunchOutcome outcome = launcher::RunLauncher(options);

        QCOMPARE(outcome.guard, SingleInstanceGuard::State::Held);
        QVERIFY(outcome.started);
        QCOMPARE(outcome.readiness, readiness);
        QCOMPARE(seen, std::vector<Readiness>{readiness});
        QVERIFY(outcome.end.has_value());
        QCOMPARE(outcome.end->crashed, crashed);
        QCOMPARE(outcome.end->code, code);
        QCOMPARE(Children().size(), 1);
        QCOMPARE(standin::Traces(m_traces, QStringLiteral("ending-")).size(), 1);
    }

    // The library: nothing to start, so the run ends at once and the guard is free again.
    void startsNothing_data()
    {
        QTest::addColumn<QString>("what");
        QTest::newRow("missing") << "missing";
        QTest::newRow("not executable") << "not executable";
        QTest::newRow("a folder") << "folder";
        QTest::newRow("launcher folder unknown") << "no folder";
    }
    void startsNothing()
    {
        QFETCH(QString, what);
        Behaviour().ApplyToThisProcess();
        launcher::LauncherOptions options = Options();
        const QString previousFolder = QDir::currentPath();
        if (what == u"missing") {
            QVERIFY(QFile::remove(Child()));
        } else if (what == u"not executable") {
            QVERIFY(QFile::setPermissions(Child(), QFile::ReadOwner | QFile::WriteOwner));
        } else if (what == u"folder") {
            QVERIFY(QFile::remove(Child()) && QDir().mkdir(Child()));
        } else {
            // A main program in the current folder must not be taken for the launcher's own.
            options.programFolder.clear();
            QVERIFY(QDir::setCurrent(m_programFolder));
        }
        bool waited = false;
        options.readinessKnown = [&](Readiness) { waited = true; };
        const launcher::LaunchOutcome outcome = launcher::RunLauncher(options);
        QVERIFY(QDir::setCurrent(previousFolder));
        if (what == u"folder")
            QVERIFY(QDir().rmdir(Child()));

        QCOMPARE(outcome.guard, SingleInstanceGuard::State::Held);
        QVERIFY(!outcome.started);
        QVERIFY(!waited);
        QVERIFY(!outcome.end);
        QCOMPARE(Children().size(), 0);
    }

    // The library: another launcher holds the guard, so nothing is started.
    void guardHeldElsewhere()
    {
        Behaviour().ApplyToThisProcess();
        const SingleInstanceGuard other(kGuardName);
        QVERIFY(other.IsHeld());
        const launcher::LaunchOutcome outcome = launcher::RunLauncher(Options());
        QCOMPARE(outcome.guard, SingleInstanceGuard::State::HeldElsewhere);
        QVERIFY(!outcome.started);
        QCOMPARE(Children().size(), 0);
    }

    // diviza: two launchers started together; the one that loses ends with 0 while the
    // winner's child still runs, and only one child ever starts.
    void twoLaunchersAtOnce()
    {
        const standin::Behaviour behaviour = Behaviour();
        std::unique_ptr<QProcess> first = StartLauncher(behaviour);
        std::unique_ptr<QProcess> second = StartLauncher(behaviour);
        QVERIFY(first->state() != QProcess::Starting && second->state() != QProcess::Starting);
        QTRY_VERIFY_WITH_TIMEOUT(first->state() == QProcess::NotRunning || second->state() == QProcess::NotRunning,
                                 kProcessTimeout);
        QProcess* loser = first->state() == QProcess::NotRunning ? first.get() : second.get();
        QProcess* winner = loser == first.get() ? second.get() : first.get();
        QCOMPARE(loser->exitStatus(), QProcess::NormalExit);
        QCOMPARE(loser->exitCode(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(Children().size(), 1, kProcessTimeout);
        // The child waits for the release, so the winner still waits for it.
        QCOMPARE(winner->state(), QProcess::Running);

        QVERIFY(standin::Release(m_traces));
        QVERIFY(winner->waitForFinished(kProcessTimeout));
        QCOMPARE(winner->exitStatus(), QProcess::NormalExit);
        QCOMPARE(winner->exitCode(), 0);
        QCOMPARE(Children().size(), 1);
        QVERIFY(loser->readAll().isEmpty() && winner->readAll().isEmpty());
    }

    // diviza: the main program already runs (started directly); the launcher's main program
    // finds its guard, hands over and ends, and so does the launcher. The main program's guard
    // is named by the title, in either language.
    void mainProgramAlreadyRuns_data()
    {
        QTest::addColumn<QString>("title");
        QTest::newRow("English") << "Brantmoor Turnwise";
        QTest::newRow("Japanese") << "ターンワイズ";
    }
    void mainProgramAlreadyRuns()
    {
        QFETCH(QString, title);
        standin::Behaviour behaviour = Behaviour();
        behaviour.guard = title;
        QProcess running;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        behaviour.ApplyTo(environment);
        running.setProcessEnvironment(environment);
        running.start(Child(), {});
        QVERIFY(running.waitForStarted());
        QTRY_COMPARE_WITH_TIMEOUT(Children().size(), 1, kProcessTimeout);

        std::unique_ptr<QProcess> launcherProcess = StartLauncher(behaviour);
        QVERIFY(launcherProcess->waitForFinished(kProcessTimeout));
        QCOMPARE(launcherProcess->exitStatus(), QProcess::NormalExit);
        QCOMPARE(launcherProcess->exitCode(), 0);
        QCOMPARE(standin::Traces(m_traces, QStringLiteral("handed-over-")).size(), 1);
        QCOMPARE(Children().size(), 1);
        QCOMPARE(running.state(), QProcess::Running);

        QVERIFY(standin::Release(m_traces));
        QVERIFY(running.waitForFinished(kProcessTimeout));
    }

    // diviza: pivora.bin missing; the launcher ends by itself with 0 and says nothing.
    void mainProgramMissing()
    {
        QVERIFY(QFile::remove(Child()));
        std::unique_ptr<QProcess> process = StartLauncher(Behaviour());
        QVERIFY(process->waitForFinished(kProcessTimeout));
        QCOMPARE(process->exitStatus(), QProcess::NormalExit);
        QCOMPARE(process->exitCode(), 0);
        QCOMPARE(process->readAllStandardOutput(), QByteArray());
        QCOMPARE(process->readAllStandardError(), QByteArray());
    }

    // diviza: however the main program ends, the launcher waits for that end and then ends
    // with 0.
    void childEnds_data()
    {
        QTest::addColumn<QString>("end");
        QTest::newRow("exit code 0") << "0";
        QTest::newRow("exit code 3") << "3";
        QTest::newRow("exit code 255") << "255";
        QTest::newRow("killed") << "kill";
    }
    void childEnds()
    {
        QFETCH(QString, end);
        standin::Behaviour behaviour = Behaviour();
        behaviour.end = end;
        std::unique_ptr<QProcess> process = StartLauncher(behaviour);
        QTRY_COMPARE_WITH_TIMEOUT(Children().size(), 1, kProcessTimeout);
        QCOMPARE(process->state(), QProcess::Running);
        QCOMPARE(SingleInstanceGuard(kGuardName).GetState(), SingleInstanceGuard::State::HeldElsewhere);

        QVERIFY(standin::Release(m_traces));
        QVERIFY(process->waitForFinished(kProcessTimeout));
        QCOMPARE(process->exitStatus(), QProcess::NormalExit);
        QCOMPARE(process->exitCode(), 0);
        QCOMPARE(standin::Traces(m_traces, QStringLiteral("ending-")).size(), 1);
        QCOMPARE(process->readAll(), QByteArray());
        // cleanup() checks that the guard is free again.
    }

    // diviza killed while its main program runs: its guard goes with it, even though the
    // child it started lives on (the child must not have inherited the guard).
    void launcherKilled()
    {
        std::unique_ptr<QProcess> process = StartLauncher(Behaviour());
        QTRY_COMPARE_WITH_TIMEOUT(Children().size(), 1, kProcessTimeout);
        process->kill();
        QVERIFY(process->waitForFinished(kProcessTimeout));
        QCOMPARE(standin::Traces(m_traces, QStringLiteral("ending-")).size(), 0); // the child still waits
        QCOMPARE(SingleInstanceGuard(kGuardName).GetState(), SingleInstanceGuard::State::Held);
        // The orphaned child is no longer ours to wait for: let it end and see it go.
        QVERIFY(standin::Release(m_traces));
        QTRY_COMPARE_WITH_TIMEOUT(standin::Traces(m_traces, QStringLiteral("ending-")).size(), 1, kProcessTimeout);
    }
};

QTEST_GUILESS_MAIN(TestLauncher)
#include "tst_launcher.moc"
