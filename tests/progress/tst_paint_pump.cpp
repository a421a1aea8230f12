// PumpPaintMessages serves pending repaints and nothing else; ShowWindowNow lets a window
// opened right before a long loop paint during it.
#include "platform/paint_pump.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWindow>

namespace {

const QEvent::Type kCustomEvent = static_cast<QEvent::Type>(QEvent::User + 7);

// Counts what reaches it.
class Probe : public QWidget {
public:
    int paints = 0;
    int presses = 0;
    int customs = 0;
    QColor colour = Qt::red;

protected:
    void paintEvent(QPaintEvent*) override
    {
        ++paints;
        QPainter(this).fillRect(rect(), colour);
    }
    void mousePressEvent(QMouseEvent* event) override
    {
        ++presses;
        event->accept();
    }
    void customEvent(QEvent* event) override
    {
        if (event->type() == kCustomEvent)
            ++customs;
    }
};

QMouseEvent* NewMouseEvent(QEvent::Type type, QWidget* target)
{
    const QPointF local(5, 5);
    return new QMouseEvent(type, local, target->mapToGlobal(local), Qt::LeftButton,
                           type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
}

// A long piece of work on the user-interface thread that keeps windows painted, as the
// program's loops do. It runs long enough for a short timer to fall due.
void RunLongLoop()
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (elapsed.elapsed() < 100)
        platform::PumpPaintMessages();
}

QColor ScreenColourAt(QPoint globalPoint)
{
    const QPixmap grab = QGuiApplication::primaryScreen()->grabWindow(0, globalPoint.x(), globalPoint.y(), 1, 1);
    return grab.isNull() ? QColor() : grab.toImage().pixelColor(0, 0);
}

} // namespace

class PaintPump : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void servesRepaintsOnly();
    void servesRepaintsAskedForWhilePainting();
    void showWindowNowPaintsAtOnce();
    void showWindowNowReachesTheScreenDuringALoop();
};

void PaintPump::servesRepaintsOnly()
{
    Probe window;
    window.setGeometry(60, 60, 240, 120);
    auto* button = new QPushButton(QStringLiteral("Save"), &window);
    button->setGeometry(10, 10, 80, 30);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_VERIFY(window.paints > 0);

    QSignalSpy clicked(button, &QPushButton::clicked);
    bool timerFired = false;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setInterval(1);
    QObject::connect(&timer, &QTimer::timeout, [&timerFired] { timerFired = true; });
    bool queuedCallRan = false;
    QMetaObject::invokeMethod(
        &window, [&queuedCallRan] { queuedCallRan = true; }, Qt::QueuedConnection);

    const int paintsBefore = window.paints;
    timer.start();
    QCoreApplication::postEvent(&window, new QEvent(kCustomEvent));
    QCoreApplication::postEvent(&window, NewMouseEvent(QEvent::MouseButtonPress, &window));
    QCoreApplication::postEvent(button, NewMouseEvent(QEvent::MouseButtonPress, button));
    QCoreApplication::postEvent(button, NewMouseEvent(QEvent::MouseButtonRelease, button));
    window.update();

    RunLongLoop();

    QVERIFY2(window.paints > paintsBefore, "the pending repaint was not served during the loop");
    QCOMPARE(window.customs, 0);
    QCOMPARE(window.presses, 0);
    QCOMPARE(clicked.count(), 0);
    QVERIFY2(!timerFired, "a timer fired during the loop");
    QVERIFY2(!queuedCallRan, "a queued call ran during the loop");

    // Once the event loop runs again, everything that waited is handled.
    QTRY_VERIFY(timerFired);
    QTRY_VERIFY(queuedCallRan);
    QTRY_COMPARE(window.customs, 1);
    QTRY_COMPARE(window.presses, 1);
    QTRY_COMPARE(clicked.count(), 1);
}

// A widget that asks for another repaint while it paints gets it from the next pump.
void PaintPump::servesRepaintsAskedForWhilePainting()
{
    class Repainter : public Probe {
    protected:
        void paintEvent(QPaintEvent* event) override
        {
            Probe::paintEvent(event);
            if (paints == 1)
                update();
        }
    };
    Repainter window;
    window.resize(100, 60);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_VERIFY(window.paints >= 2);

    window.paints = 0;
    window.update();
    platform::PumpPaintMessages();
    QCOMPARE(window.paints, 1);
    platform::PumpPaintMessages();
    QCOMPARE(window.paints, 2);
    platform::PumpPaintMessages();
    QCOMPARE(window.paints, 2);
}

void PaintPump::showWindowNowPaintsAtOnce()
{
    Probe window;
    window.resize(120, 60);
    platform::ShowWindowNow(&window);
    QVERIFY(window.isVisible());
    QVERIFY2(window.paints > 0, "the window was not painted before its exposure was reported");

    const int paintsBefore = window.paints;
    window.update();
    platform::PumpPaintMessages();
    QVERIFY2(window.paints > paintsBefore, "a repaint of the newly shown window was not served");
}

// On a real X server a window only shows pixels once the server has mapped it. The window
// shown right before the loop must show its picture while the loop still runs, although
// the loop never handles the server's exposure report.
void PaintPump::showWindowNowReachesTheScreenDuringALoop()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        QSKIP("what reaches the screen is only seen on a real X server");

    const QColor colours[] = {QColor(Qt::red), QColor(Qt::blue)};
    Probe window;
    window.setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    window.setGeometry(120, 140, 160, 80);
    window.colour = colours[0];
    platform::ShowWindowNow(&window);
    const QPoint probePoint = window.geometry().center();

    // The loop keeps repainting, as a progress bar does after each step, and watches the
    // screen; the server maps the window on its own time.
    int shown = 0;
    QElapsedTimer elapsed;
    elapsed.start();
    while (shown < 2 && elapsed.elapsed() < 5000) {
        window.colour = colours[shown];
        window.update();
        platform::PumpPaintMessages();
        if (ScreenColourAt(probePoint) == colours[shown])
            ++shown;
    }
    QVERIFY2(!window.windowHandle()->isExposed(), "the exposure report was handled during the loop");
    QVERIFY2(shown == 2, qPrintable(QStringLiteral("the screen showed %1 of 2 pictures during the loop, last %2")
                                        .arg(shown)
                                        .arg(ScreenColourAt(probePoint).name())));
}

QTEST_MAIN(PaintPump)
#include "tst_paint_pump.moc"
