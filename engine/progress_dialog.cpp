#include "engine/progress_dialog.h"

#include "platform/paint_pump.h"

#include <QApplication>
#include <QFrame>
#include <QProgressBar>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace engine {
namespace {

// Windows of progress dialogs that exist; only touched on the user-interface thread.
int g_nOpenDialogs = 0;

} // namespace

ProgressScale MakeProgressScale(std::int64_t total)
{
    ProgressScale scale;
    if (total <= 0)
        return scale; // 100 / 0 would make every position undefined
    scale.step = 100.0 / static_cast<double>(total);
    scale.minimum = static_cast<int>(0 * scale.step + 0.5);
    scale.maximum = static_cast<int>(static_cast<double>(total) * scale.step + 0.5);
    return scale;
}

int ProgressPosition(const ProgressScale& scale, std::int64_t finished)
{
    const double raw = static_cast<double>(finished) * scale.step + 0.5;
    // Kept within the range before the conversion, which is undefined for values beyond
    // int. Truncating first and clamping afterwards gives the same result.
    if (!(raw > scale.minimum))
        return scale.minimum;
    if (raw >= scale.maximum)
        return scale.maximum;
    return static_cast<int>(raw);
}

QSize DialogUnitsToPixels(QSize units, QSize baseUnits)
{
    const QPoint pixels = DialogUnitsToPixels(QPoint(units.width(), units.height()), baseUnits);
    return {pixels.x(), pixels.y()};
}

QPoint DialogUnitsToPixels(QPoint units, QSize baseUnits)
{
    return {static_cast<int>(std::lround(units.x() * baseUnits.width() / 4.0)),
            static_cast<int>(std::lround(units.y() * baseUnits.height() / 8.0))};
}

QPoint ProgressDialogPosition(const QRect& owner, const QRect& workArea, QSize size)
{
    return {workArea.x() + (workArea.width() - size.width()) / 2,
            owner.y() + (owner.height() - size.height()) / 2};
}

CProgressDlg::CProgressDlg(QWidget* parent, std::int64_t total)
    : m_scale(MakeProgressScale(total))
{
    QWidget* owner = parent ? parent : QApplication::focusWidget();
    if (owner)
        owner = owner->window();

    // A tool window has no taskbar entry and stays tied to its owner.
    auto* wnd = new QFrame(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    wnd->setFrameStyle(QFrame::Box | QFrame::Plain);
    wnd->setLineWidth(1);
    wnd->setFixedSize(DialogUnitsToPixels(kProgressDialogUnits));

    auto* bar = new QProgressBar(wnd);
    bar->setGeometry(QRect(DialogUnitsToPixels(kProgressBarOriginUnits), DialogUnitsToPixels(kProgressBarUnits)));
    bar->setTextVisible(false);
    // Qt turns a bar whose range is empty into an endlessly moving busy indicator; an empty
    // run shows an empty bar instead.
    bar->setRange(m_scale.minimum, std::max(m_scale.maximum, m_scale.minimum + 1));
    bar->setValue(m_scale.minimum);
    m_nPos = m_scale.minimum;

    if (QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen()) {
        const QRect ownerRect = owner ? owner->frameGeometry() : screen->geometry();
        wnd->move(ProgressDialogPosition(ownerRect, screen->availableGeometry(), wnd->size()));
    }

    // Tied to the window rather than to this object, so that a window its owner destroyed
    // is no longer counted either.
    QObject::connect(wnd, &QObject::destroyed, [] { --g_nOpenDialogs; });
    if (g_nOpenDialogs == 0) {
        platform::ShowWindowNow(wnd);
        wnd->activateWindow();
    }
    ++g_nOpenDialogs;

    // Other windows that come to the top while the dialog exists would hide it; the timer
    // brings it back whenever the event loop runs.
    auto* raiseTimer = new QTimer(wnd);
    raiseTimer->setInterval(kRaiseIntervalMs);
    QObject::connect(raiseTimer, &QTimer::timeout, wnd, [wnd] {
        wnd->raise();
        wnd->update();
    });
    raiseTimer->start();

    m_pWnd = wnd;
    m_pBar = bar;
}

CProgressDlg::~CProgressDlg()
{
    delete m_pWnd.data();
}

void CProgressDlg::Step(std::int64_t finished)
{
    m_nPos = ProgressPosition(m_scale, finished);
    if (m_pBar)
        m_pBar->setValue(m_nPos);
    if (m_pWnd)
        m_pWnd->update();
    platform::PumpPaintMessages();
}

QWidget* CProgressDlg::Window() const
{
    return m_pWnd.data();
}

int CProgressDlg::OpenCount()
{
    return g_nOpenDialogs;
}

} // namespace engine
