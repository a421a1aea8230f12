// The hand-over between two copies of the program, with real second processes
// (handover_peer.cpp): a later copy brings the running one forward; with no running copy the
// request fails at once; a socket left by a crashed copy is taken over, one of a live copy
// is not; anything but the hello is ignored; the window comes back from the task bar.

#include "platform/instance_handover.h"
#include "platform/path_text.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <chrono>
#include <memory>

using platform::InstanceHandoverServer;

namespace {

const QString kEnglishTitle = QStringLiteral("Brantmoor Turnwise");
const QString kJapaneseTitle = QStringLiteral("ターンワイズ");

// The longest a Unix socket path may be (sun_path holds 108 bytes with the final zero).
constexpr int kLongestSocketPath = 107;

// Generous limits for another process to start and do its part on a busy machine.
constexpr int kProcessLimitMs = 60000;

// A peer process (handover_peer) that is killed when the test leaves it.
class Peer {
public:
    Peer(const QString& mode, const QString& folder, const QString& title)
    {
        m_process.setProgram(QStringLiteral(HANDOVER_PEER));
        m_process.setArguments({mode, folder, title});
        m_process.setProcessChannelMode(QProcess::SeparateChannels);
        m_process.start();
    }
    ~Peer()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(kProcessLimitMs);
        }
    }
    Peer(const Peer&) = delete;
    Peer& operator=(const Peer&) = delete;

    QProcess& Process() { return m_process; }

    // Runs the event loop (so this process's own server answers) until the peer ends; its
    // exit code, or -1 when it crashed, could not start or did not end in time.
    int WaitForExit()
    {
        if (m_process.state() != QProcess::NotRunning) {
            QSignalSpy finished(&m_process, &QProcess::finished);
            if (!finished.wait(kProcessLimitMs))
                return -1;
        }
        return m_process.exitStatus() == QProcess::NormalExit && m_process.error() == QProcess::UnknownError
                   ? m_process.exitCode()
                   : -1;
    }

    // Runs the event loop until the peer has printed `line`; false when it ends first.
    bool WaitForLine(const QByteArray& line)
    {
        const QDeadlineTimer deadline(kProcessLimitMs);
        while (!m_output.contains(line + '\n')) {
            m_output += m_process.readAllStandardOutput();
            if (m_output.contains(line + '\n'))
                break;
            if (m_process.state() == QProcess::NotRunning || deadline.hasExpired())
                return false;
            QSignalSpy more(&m_process, &QProcess::readyReadStandardOutput);
            more.wait(50);
        }
        return true;
    }

    int CountLines(const QByteArray& line)
    {
        m_output += m_process.readAllStandardOutput();
        return m_output.count(line + '\n');
    }

    // Ends the peer as a crash would: no clean-up of its own runs.
    bool Crash()
    {
        m_process.kill();
        return m_process.waitForFinished(kProcessLimitMs);
    }

private:
    QProcess m_process;
    QByteArray m_output;
};

} // namespace

class TestInstanceHandover : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir; // a fresh private folder for every test function
    QString m_folder;

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_folder = m_dir->path() + platform::kPathSeparator;
    }

    void cleanup() { m_dir.reset(); }

    void socketPathIsShortAndInsideTheFolder_data()
    {
        QTest::addColumn<QString>("title");
        QTest::newRow("English title") << kEnglishTitle;
        QTest::newRow("Japanese title") << kJapaneseTitle;
        QTest::newRow("separators and dots") << QStringLiteral("../../etc/passwd");
        QTest::newRow("very long title") << QString(300, QChar(0x30BF));
        QTest::newRow("empty title") << QString();
    }
    void socketPathIsShortAndInsideTheFolder()
    {
        QFETCH(QString, title);
        const QString path = platform::HandoverSocketPath(title, m_folder);
        QVERIFY2(path.startsWith(m_folder), qPrintable(path));
        const QString name = path.mid(m_folder.size());
        QVERIFY2(!name.isEmpty() && !name.contains(platform::kPathSeparator), qPrintable(path));
        QVERIFY2(platform::NarrowPath(path).size() <= kLongestSocketPath, qPrintable(path));
        // The same title always meets the same copy; the folder may be given without separator.
        QCOMPARE(platform::HandoverSocketPath(title, m_dir->path()), path);
        QVERIFY(platform::HandoverSocketPath(title, QString()).isEmpty());
    }

    void titlesDoNotShareASocket()
    {
        QVERIFY(platform::HandoverSocketPath(kEnglishTitle, m_folder) !=
                platform::HandoverSocketPath(kJapaneseTitle, m_folder));
        QVERIFY(platform::HandoverSocketPath(kEnglishTitle, m_folder) !=
                platform::HandoverSocketPath(kEnglishTitle.toLower(), m_folder));
    }

    void secondCopyBringsTheFirstForward_data()
    {
        QTest::addColumn<QString>("title");
        QTest::newRow("English title") << kEnglishTitle;
        QTest::newRow("Japanese title") << kJapaneseTitle;
    }
    void secondCopyBringsTheFirstForward()
    {
        QFETCH(QString, title);
        InstanceHandoverServer server;
        QSignalSpy activations(&server, &InstanceHandoverServer::ActivationRequested);
        QVERIFY(server.Listen(title, m_folder));
        QCOMPARE(server.SocketPath(), platform::HandoverSocketPath(title, m_folder));

        Peer second(QStringLiteral("ask"), m_folder, title);
        QCOMPARE(second.WaitForExit(), 0);
        QCOMPARE(activations.count(), 1);

        // A third copy is answered just the same.
        Peer third(QStringLiteral("ask"), m_folder, title);
        QCOMPARE(third.WaitForExit(), 0);
        QCOMPARE(activations.count(), 2);
    }

    void aCopyUnderAnotherTitleIsNotAsked()
    {
        InstanceHandoverServer server;
        QSignalSpy activations(&server, &InstanceHandoverServer::ActivationRequested);
        QVERIFY(server.Listen(kJapaneseTitle, m_folder));
        Peer other(QStringLiteral("ask"), m_folder, kEnglishTitle);
        QCOMPARE(other.WaitForExit(), 1);
        QCOMPARE(activations.count(), 0);
    }

    void withoutARunningCopyTheRequestFailsAtOnce()
    {
        // The limit is far above anything the request may take: it must not be waited out.
        const std::chrono::milliseconds limit(120000);
        const QDeadlineTimer deadline(limit);
        QVERIFY(!platform::AskRunningInstanceToActivate(kEnglishTitle, m_folder, limit));
        QVERIFY2(!deadline.hasExpired(), "the request waited for its whole time limit");
        QVERIFY(!platform::AskRunningInstanceToActivate(kEnglishTitle, QString(), limit));
    }

    void socketOfACrashedCopyIsTakenOver()
    {
        const QString socketPath = platform::HandoverSocketPath(kJapaneseTitle, m_folder);
        {
            Peer crashed(QStringLiteral("serve"), m_folder, kJapaneseTitle);
            QVERIFY2(crashed.WaitForLine("listening"), "the first copy did not start listening");
            QVERIFY(crashed.Crash());
        }
        QVERIFY2(QFileInfo::exists(socketPath), "the crashed copy left no socket behind to test with");
        QVERIFY(!platform::AskRunningInstanceToActivate(kJapaneseTitle, m_folder, std::chrono::milliseconds(120000)));

        InstanceHandoverServer server;
        QSignalSpy activations(&server, &InstanceHandoverServer::ActivationRequested);
        QVERIFY(server.Listen(kJapaneseTitle, m_folder));
        Peer second(QStringLiteral("ask"), m_folder, kJapaneseTitle);
        QCOMPARE(second.WaitForExit(), 0);
        QCOMPARE(activations.count(), 1);
    }

    void socketOfALiveCopyIsLeftAlone()
    {
        Peer first(QStringLiteral("serve"), m_folder, kEnglishTitle);
        QVERIFY2(first.WaitForLine("listening"), "the first copy did not start listening");

        {
            InstanceHandoverServer late;
            QVERIFY(!late.Listen(kEnglishTitle, m_folder));
            QVERIFY(!late.IsListening());
            QVERIFY(late.SocketPath().isEmpty());
        } // the late copy ends, and must not take the first copy's socket with it

        // The first copy still answers, and only to the real request, not to the probe.
        QVERIFY(QFileInfo::exists(platform::HandoverSocketPath(kEnglishTitle, m_folder)));
        Peer second(QStringLiteral("ask"), m_folder, kEnglishTitle);
        QCOMPARE(second.WaitForExit(), 0);
        QVERIFY(first.WaitForLine("activated"));
        QCOMPARE(first.CountLines("activated"), 1);
    }

    void anythingButTheHelloIsDropped_data()
    {
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("other words") << QByteArray("hello, please come forward\n");
        QTest::newRow("hello of another version") << QByteArray("turnwise activate 2\n");
        QTest::newRow("one wrong byte") << QByteArray("x");
    }
    void anythingButTheHelloIsDropped()
    {
        QFETCH(QByteArray, message);
        InstanceHandoverServer server;
        QSignalSpy activations(&server, &InstanceHandoverServer::ActivationRequested);
        QVERIFY(server.Listen(kEnglishTitle, m_folder));

        QLocalSocket client;
        QSignalSpy disconnected(&client, &QLocalSocket::disconnected);
        client.connectToServer(server.SocketPath());
        QVERIFY(client.waitForConnected(kProcessLimitMs));
        client.write(message);
        QVERIFY2(disconnected.wait(kProcessLimitMs), "the server kept the connection");
        QCOMPARE(client.readAll(), QByteArray());
        QCOMPARE(activations.count(), 0);
    }

    void raiseBringsAMinimisedWindowBack()
    {
        QWidget window;
        window.setWindowTitle(kEnglishTitle);
        QWidget other;
        other.show();
        window.showMinimized();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowExposed(&other));

        platform::RaiseAndActivate(&window);
        QVERIFY(window.isVisible());
        QVERIFY(!(window.windowState() & Qt::WindowMinimized));
        QTRY_COMPARE(QApplication::activeWindow(), &window);

        platform::RaiseAndActivate(nullptr); // nothing to raise: nothing happens
    }
};

QTEST_MAIN(TestInstanceHandover)
#include "tst_instance_handover.moc"
