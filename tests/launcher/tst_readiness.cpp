// The readiness signal on both sides, and what a started child inherits of it.

#include "platform/process.h"
#include "platform/readiness.h"
#include "tests/launcher/stand_in.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

using platform::Readiness;

Q_DECLARE_METATYPE(Readiness)

namespace {

bool IsOpen(int fd)
{
    return ::fcntl(fd, F_GETFD) != -1;
}

// Starts the stand-in so that it leaves its readiness variable in its trace and ends at once.
platform::ChildProcess StartStandIn(const QString& folder, platform::ReadinessPipe* readiness)
{
    standin::Behaviour behaviour;
    behaviour.folder = folder;
    behaviour.ready = false;
    behaviour.wait = false;
    behaviour.ApplyToThisProcess();
    return platform::ChildProcess::Start(standin::Program(), readiness);
}

// The readiness variable as the one stand-in of `folder` found it.
QByteArray VariableSeenByChild(const QString& folder)
{
    const QStringList traces = standin::Traces(folder, QStringLiteral("child-"));
    if (traces.size() != 1)
        return "no single trace";
    QFile trace(folder + u'/' + traces.first());
    return trace.open(QIODevice::ReadOnly) ? trace.readAll() : QByteArray("unreadable");
}

} // namespace

class TestReadiness : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_work;

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_work.isValid()); }
    void init() { qunsetenv(platform::kReadyVariable); }

    void signalReachesParent()
    {
        platform::ReadinessPipe pipe;
        QVERIFY(pipe.IsValid());
        // The child's copy of the write end, as inheriting it would give one.
        const int childEnd = ::dup(pipe.ChildEnd());
        QVERIFY(childEnd >= 0);
        pipe.CloseChildEnd();
        qputenv(platform::kReadyVariable, QByteArray::number(childEnd));

        platform::SignalReady();
        QCOMPARE(pipe.Wait(std::chrono::seconds(10)), Readiness::Ready);
        QVERIFY2(!qEnvironmentVariableIsSet(platform::kReadyVariable), "the variable would reach the child's children");
        QVERIFY2(!IsOpen(childEnd), "the child keeps the write end");
        platform::SignalReady(); // a second call finds nothing to do
        QCOMPARE(pipe.Wait(std::chrono::seconds(10)), Readiness::Ended);
    }

    // A parent that went away before the child was ready: the signal must not end the child.
    void parentGone()
    {
        int childEnd = -1;
        {
            platform::ReadinessPipe pipe;
            QVERIFY(pipe.IsValid());
            childEnd = ::dup(pipe.ChildEnd());
            QVERIFY(childEnd >= 0);
        }
        qputenv(platform::kReadyVariable, QByteArray::number(childEnd));
        platform::SignalReady(); // SIGPIPE would end this test program here
        QVERIFY(!IsOpen(childEnd));
        sigset_t pending;
        QCOMPARE(sigpending(&pending), 0);
        QVERIFY2(sigismember(&pending, SIGPIPE) == 0, "a SIGPIPE is left pending");
    }

    void waitEnds_data()
    {
        QTest::addColumn<bool>("closeWriteEnd");
        QTest::addColumn<Readiness>("expected");
        QTest::newRow("the write end closes") << true << Readiness::Ended;
        QTest::newRow("nothing happens") << false << Readiness::TimedOut;
    }
    void waitEnds()
    {
        QFETCH(bool, closeWriteEnd);
        QFETCH(Readiness, expected);
        platform::ReadinessPipe pipe;
        QVERIFY(pipe.IsValid());
        if (closeWriteEnd)
            pipe.CloseChildEnd();
        QCOMPARE(pipe.Wait(std::chrono::milliseconds(closeWriteEnd ? 10000 : 50)), expected);
    }

    // A program started by hand, or given a number that is not a pipe, writes nowhere.
    void staleVariable_data()
    {
        QTest::addColumn<QByteArray>("value"); // "file" stands for the descriptor of a regular file
        QTest::newRow("a regular file") << QByteArray("file");
        QTest::newRow("not a number") << QByteArray("three");
        QTest::newRow("a closed descriptor") << QByteArray("1000");
        QTest::newRow("negative") << QByteArray("-1");
    }
    void staleVariable()
    {
        QFETCH(QByteArray, value);
        QFile file(m_work.filePath(QStringLiteral("some file")));
        QVERIFY(file.open(QIODevice::ReadWrite | QIODevice::Truncate));
        qputenv(platform::kReadyVariable, value == "file" ? QByteArray::number(file.handle()) : value);
        platform::SignalReady();
        QVERIFY(!qEnvironmentVariableIsSet(platform::kReadyVariable));
        QCOMPARE(file.size(), qint64(0));
        QVERIFY2(IsOpen(file.handle()), "a descriptor that is not ours to close was closed");
    }

    // The child learns the write end's number only when it is given a pipe, even when a stale
    // variable sits in our own environment.
    void childEnvironment()
    {
        qputenv(platform::kReadyVariable, "77");
        {
            QTemporaryDir traces(m_work.filePath(QStringLiteral("traces-XXXXXX")));
            QVERIFY(traces.isValid());
            platform::ChildProcess child = StartStandIn(traces.path(), nullptr);
            QVERIFY(child.IsStarted());
            QTRY_VERIFY_WITH_TIMEOUT(child.PollEnd().has_value(), 30000);
            QCOMPARE(VariableSeenByChild(traces.path()), QByteArray());
        }
        {
            QTemporaryDir traces(m_work.filePath(QStringLiteral("traces-XXXXXX")));
            QVERIFY(traces.isValid());
            platform::ReadinessPipe pipe;
            QVERIFY(pipe.IsValid());
            platform::ChildProcess child = StartStandIn(traces.path(), &pipe);
            QVERIFY(child.IsStarted());
            QTRY_VERIFY_WITH_TIMEOUT(child.PollEnd().has_value(), 30000);
            QCOMPARE(VariableSeenByChild(traces.path()), QByteArray::number(pipe.ChildEnd()));
            // The child ended without signalling: once our copy is closed the pipe ends.
            pipe.CloseChildEnd();
            QCOMPARE(pipe.Wait(std::chrono::seconds(10)), Readiness::Ended);
        }
    }

    void missingProgram()
    {
        platform::ReadinessPipe pipe;
        platform::ChildProcess child =
            platform::ChildProcess::Start(m_work.filePath(QStringLiteral("no such program")), &pipe);
        QVERIFY(!child.IsStarted());
        QVERIFY(!child.PollEnd());
    }
};

QTEST_GUILESS_MAIN(TestReadiness)
#include "tst_readiness.moc"
