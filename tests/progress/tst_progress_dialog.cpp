// The progress dialog's window: its kind, size and place, which of several dialogs shows,
// stepping during a loop, and the timer that raises it.
#include "engine/progress_dialog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProgressBar>
#include <QScreen>
#include <QTest>
#include <QWindow>

#include <memory>

using engine::CProgressDlg;

namespace {

// Counts the events of one type that reach a widget.
class EventCounter : public QObject {
public:
    EventCounter(QObject* target, QEvent::Type type)
        : m_type(type)
    {
        target->installEventFilter(this);
    }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == m_type)
            ++count;
        return false;
    }

private:
    QEvent::Type m_type;
};

// Stands in for the main window: counts its repaints and the clicks it gets.
class MainWindow : public QWidget {
public:
    int paints = 0;
    int presses = 0;

protected:
    void paintEvent(QPaintEvent*) override { ++paints; }
    void mousePressEvent(QMouseEvent* event) override
    {
        ++presses;
        event->accept();
    }
};

QProgressBar* BarOf(const CProgressDlg& dialog)
{
    return dialog.Window() ? dialog.Window()->findChild<QProgressBar*>() : nullptr;
}

} // namespace

class ProgressDialog : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void isAFramelessToolWindowOnTop();
    void emptyRunShowsAnEmptyBar();
    void ownerFallsBackToTheFocusWindow();
    void withoutOwnerSitsInTheMiddleOfTheScreen();
    void onlyTheFirstOfSeveralShows();
    void ownerDestroyedFirst();
    void stepMovesTheBarAndServesRepaintsOnly();
    void timerRaisesTheDialog();

private:
    std::unique_ptr<MainWindow> m_owner;
};

void ProgressDialog::init()
{
    QCOMPARE(CProgressDlg::OpenCount(), 0);
    m_owner = std::make_unique<MainWindow>();
    m_owner->setGeometry(40, 30, 600, 420);
    m_owner->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_owner.get()));
}

void ProgressDialog::cleanup()
{
    m_owner.reset();
    QCOMPARE(CProgressDlg::OpenCount(), 0);
}

void ProgressDialog::isAFramelessToolWindowOnTop()
{
    CProgressDlg dialog(m_owner.get(), 3);
    QWidget* window = dialog.Window();
    QVERIFY(window);
    QVERIFY(window->isWindow());
    QCOMPARE(window->windowType(), Qt::Tool);
    QVERIFY(window->windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(window->parentWidget(), m_owner.get());
    QVERIFY(window->windowHandle());
    QCOMPARE(window->windowHandle()->transientParent(), m_owner->windowHandle());
    QVERIFY(window->isVisible());

    QCOMPARE(window->size(), QSize(249, 29));
    QProgressBar* bar = BarOf(dialog);
    QVERIFY(bar);
    QCOMPARE(bar->geometry(), QRect(8, 5, 234, 20));
    QVERIFY(!bar->isTextVisible());
    QCOMPARE(bar->minimum(), 0);
    QCOMPARE(bar->maximum(), 100);
    QCOMPARE(bar->value(), 0);

    QScreen* screen = m_owner->screen();
    QCOMPARE(window->pos(),
             engine::ProgressDialogPosition(m_owner->frameGeometry(), screen->availableGeometry(), window->size()));

    QTRY_COMPARE(QApplication::activeWindow(), window);
}

// Qt would turn an empty range into a moving busy indicator.
void ProgressDialog::emptyRunShowsAnEmptyBar()
{
    CProgressDlg dialog(m_owner.get(), 0);
    QProgressBar* bar = BarOf(dialog);
    QVERIFY(bar);
    QVERIFY(bar->minimum() < bar->maximum());
    QCOMPARE(bar->value(), 0);
    dialog.Step(0);
    QCOMPARE(dialog.Position(), 0);
    QCOMPARE(bar->value(), 0);
}

void ProgressDialog::ownerFallsBackToTheFocusWindow()
{
    auto* edit = new QLineEdit(m_owner.get());
    edit->show();
    m_owner->activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), m_owner.get());
    edit->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), edit);

    CProgressDlg dialog(nullptr, 3);
    QVERIFY(dialog.Window());
    QCOMPARE(dialog.Window()->parentWidget(), m_owner.get());
}

void ProgressDialog::withoutOwnerSitsInTheMiddleOfTheScreen()
{
    if (QWidget* focus = QApplication::focusWidget())
        focus->clearFocus();
    QCOMPARE(QApplication::focusWidget(), nullptr);

    CProgressDlg dialog(nullptr, 3);
    QWidget* window = dialog.Window();
    QVERIFY(window);
    QCOMPARE(window->parentWidget(), nullptr);
    QScreen* screen = QGuiApplication::primaryScreen();
    QCOMPARE(window->pos(),
             engine::ProgressDialogPosition(screen->geometry(), screen->availableGeometry(), window->size()));
    QVERIFY(window->isVisible());
}

void ProgressDialog::onlyTheFirstOfSeveralShows()
{
    auto first = std::make_unique<CProgressDlg>(m_owner.get(), 3);
    auto second = std::make_unique<CProgressDlg>(m_owner.get(), 5);
    QCOMPARE(CProgressDlg::OpenCount(), 2);
    QVERIFY(first->Window()->isVisible());
    QVERIFY(!second->Window()->isVisible());

    second->Step(5);
    QCOMPARE(second->Position(), 100);
    QVERIFY(!second->Window()->isVisible());
    QVERIFY(first->Window()->isVisible());

    second.reset();
    QCOMPARE(CProgressDlg::OpenCount(), 1);
    QVERIFY(first->Window()->isVisible());
    first.reset();
    QCOMPARE(CProgressDlg::OpenCount(), 0);

    // With the others gone, the next one shows again.
    CProgressDlg next(m_owner.get(), 3);
    QVERIFY(next.Window()->isVisible());
}

// Should the owner go first, its dialog's window goes with it and is no longer counted;
// the dialog object stays safe to step and delete.
void ProgressDialog::ownerDestroyedFirst()
{
    CProgressDlg dialog(m_owner.get(), 3);
    QCOMPARE(CProgressDlg::OpenCount(), 1);
    m_owner.reset();
    QCOMPARE(dialog.Window(), nullptr);
    QCOMPARE(CProgressDlg::OpenCount(), 0);
    dialog.Step(2);
    QCOMPARE(dialog.Position(), 67);
}

void ProgressDialog::stepMovesTheBarAndServesRepaintsOnly()
{
    CProgressDlg dialog(m_owner.get(), 3);
    QProgressBar* bar = BarOf(dialog);
    QVERIFY(bar);
    EventCounter dialogPaints(dialog.Window(), QEvent::Paint);

    // A click on the main window while the run goes on, and a repaint it waits for.
    const QPointF where(20, 20);
    QCoreApplication::postEvent(m_owner.get(),
                                new QMouseEvent(QEvent::MouseButtonPress, where, m_owner->mapToGlobal(where),
                                                Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
    const int ownerPaintsBefore = m_owner->paints;
    m_owner->update();

    const int expected[] = {0, 33, 67, 100};
    for (int finished = 1; finished <= 3; ++finished) {
        const int dialogPaintsBefore = dialogPaints.count;
        dialog.Step(finished);
        QCOMPARE(dialog.Position(), expected[finished]);
        QCOMPARE(bar->value(), expected[finished]);
        QVERIFY2(dialogPaints.count > dialogPaintsBefore, "the step did not repaint the dialog");
    }
    QVERIFY2(m_owner->paints > ownerPaintsBefore, "the main window's pending repaint was not served");
    QCOMPARE(m_owner->presses, 0);

    QTRY_COMPARE(m_owner->presses, 1);
}

void ProgressDialog::timerRaisesTheDialog()
{
    QElapsedTimer elapsed;
    elapsed.start();
    CProgressDlg first(m_owner.get(), 3);
    CProgressDlg second(m_owner.get(), 3);
    EventCounter firstRaises(first.Window(), QEvent::ZOrderChange);
    EventCounter firstPaints(first.Window(), QEvent::Paint);
    EventCounter secondRaises(second.Window(), QEvent::ZOrderChange);

    QTRY_VERIFY_WITH_TIMEOUT(firstRaises.count > 0, 5000);
    // Raising early would be a fault too; a timer may fire a little before its time.
    QVERIFY2(elapsed.elapsed() >= 900,
             qPrintable(QStringLiteral("raised after %1 ms").arg(elapsed.elapsed())));
    // Raising repaints the dialog.
    const int paintsAtRaise = firstPaints.count;
    QTRY_VERIFY(firstPaints.count > paintsAtRaise);

    // The hidden second dialog is raised as well, but never shown.
    QTRY_VERIFY_WITH_TIMEOUT(secondRaises.count > 0, 5000);
    QVERIFY(!second.Window()->isVisible());
    QVERIFY(first.Window()->isVisible());
}

QTEST_MAIN(ProgressDialog)
#include "tst_progress_dialog.moc"
