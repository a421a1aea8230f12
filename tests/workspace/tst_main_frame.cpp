// The main window: the start-up sequence, the exit question, and keys and the wheel going
// to the view whichever control has them.

#include "platform/message_box.h"
#include "platform/web_page.h"
#include "shell/main_frame.h"
#include "tests/support/jpeg_fixtures.h"

#include <QAbstractButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

using namespace testsupport;

namespace {

// One wait of the start-up sequence, with what could be seen while it lasted.
struct Pause {
    int milliseconds;
    int bannerPercent;
    bool frameVisible;
    int pictures;
};

struct MessageRecorder {
    QList<int> ids;
    platform::MessageAnswer answer = platform::MessageAnswer::Yes;
    platform::ScopedMessageBox seam{[this](const platform::MessageRequest& request) {
        ids.append(request.id);
        return answer;
    }};
};

} // namespace

class TestMainFrame : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_dataFile;
    std::vector<Pause> m_pauses;

    std::unique_ptr<shell::CMainFrame> MakeFrame(bool record)
    {
        shell::FrameOptions options;
        options.title = QStringLiteral("Brantmoor Turnwise");
        options.version = {0x00010001, 0x00010004};
        options.dataFile = m_dataFile;
        options.workArea = QRect(0, 0, 1920, 1040);
        shell::CMainFrame* frame = nullptr;
        options.sleep = [this, record, &frame](int milliseconds) {
            if (record && frame) {
                const int percent = frame->Banner() ? qRound(frame->Banner()->windowOpacity() * 100) : -1;
                m_pauses.push_back({milliseconds, percent, frame->isVisible(), frame->View()->ImageCount()});
            }
        };
        auto made = std::make_unique<shell::CMainFrame>(options);
        frame = made.get();
        if (QTest::qWaitFor([&] { return made->IsStarted(); }))
            QCoreApplication::sendPostedEvents(); // the view's own start-up request: the collection
        return made;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        const QString photo = m_dir.filePath(QStringLiteral("p.jpg"));
        QVERIFY(WriteFile(photo, EncodeWithCjpeg(32, 24, {})));
        m_dataFile = m_dir.filePath(QStringLiteral("IMG.DAT"));
        QVERIFY(WriteFile(m_dataFile, QFile::encodeName(photo).leftJustified(512, '\0')));
    }

    void startupSequence()
    {
        m_pauses.clear();
        MessageRecorder recorder; // the exit question when the frame goes
        auto frame = MakeFrame(true);
        QVERIFY(frame->IsStarted());
        QCOMPARE(m_pauses.size(), std::size_t(43));
        std::vector<int> waits;
        std::vector<int> percents;
        for (const Pause& pause : m_pauses) {
            waits.push_back(pause.milliseconds);
            percents.push_back(pause.bannerPercent);
            QVERIFY2(!pause.frameVisible, "the window showed before the sequence ended");
            QCOMPARE(pause.pictures, 0); // the collection is loaded after the sequence
        }
        std::vector<int> expectedWaits(21, 50);
        expectedWaits.push_back(1500);
        expectedWaits.insert(expectedWaits.end(), 21, 25);
        QCOMPARE(waits, expectedWaits);
        // Opacity goes through alpha values: 50 % is alpha 127, shown as 49.8 %.
        const std::vector<int> expectedPercents{0, 5, 10, 15, 20, 25, 30, 35, 40, 45, 50, 55, 60, 65, 70, 75, 80, 85, 90, 95,
                                                100, 100, 100, 98, 95, 93, 90, 88, 85, 83, 80, 78, 75, 73, 70, 68, 65, 63,
                                                60, 58, 55, 53, 50};
        for (std::size_t i = 0; i < percents.size(); ++i)
            QVERIFY2(std::abs(percents[i] - expectedPercents[i]) <= 1, qPrintable(QStringLiteral("step %1: %2 %").arg(i).arg(percents[i])));
        QVERIFY(frame->isVisible());
        QVERIFY(!frame->Banner());
        QCOMPARE(frame->View()->ImageCount(), 1);
        QCOMPARE(frame->geometry(), QRect(468, 156, 984, 728));
        QCOMPARE(frame->minimumSize(), QSize(800, 600));
        QCOMPARE(frame->View()->geometry(), frame->rect());
        QCOMPARE(frame->windowTitle(), QStringLiteral("Brantmoor Turnwise"));
    }

    void exitAsksFirst()
    {
        auto frame = MakeFrame(false);
        QVERIFY(frame->IsStarted());
        MessageRecorder recorder;
        recorder.answer = platform::MessageAnswer::No;
        QVERIFY(!frame->close());
        QVERIFY(frame->isVisible());
        QCOMPARE(recorder.ids, QList<int>{147});
        recorder.answer = platform::MessageAnswer::Yes;
        QVERIFY(frame->close());
    }

    void keysGoToTheViewWhateverHasTheFocus()
    {
        auto frame = MakeFrame(false);
        QVERIFY(frame->IsStarted());
        MessageRecorder recorder;
        recorder.answer = platform::MessageAnswer::No;
        QList<QUrl> opened;
        const platform::ScopedWebPageOpener opener([&](const QUrl& address) {
            opened.append(address);
            return true;
        });
        collection::CImgList* list = frame->View()->List();
        list->setFocus();
        const int rowBefore = list->currentRow();
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(list->currentRow(), rowBefore); // arrows never move the list
        QTest::keyClick(list, Qt::Key_F1);
        QCOMPARE(opened.size(), 1);
        QTest::keyClick(list, Qt::Key_Escape);
        QTRY_COMPARE(recorder.ids, QList<int>{147});
        QVERIFY(frame->isVisible());

        // The wheel never scrolls the list.
        for (int i = 0; i < 30; ++i)
            frame->View()->AddImage(m_dir.filePath(QStringLiteral("p.jpg"))); // duplicates: one entry stays
        QWheelEvent wheel(QPointF(10, 10), list->viewport()->mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, -120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        const int scrolled = list->verticalScrollBar()->value();
        QCoreApplication::sendEvent(list->viewport(), &wheel);
        QCOMPARE(list->verticalScrollBar()->value(), scrolled);
        QVERIFY(wheel.isAccepted());
        recorder.answer = platform::MessageAnswer::Yes;
        frame->close();
    }
};

QTEST_MAIN(TestMainFrame)
#include "tst_main_frame.moc"
