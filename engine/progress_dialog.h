#pragma once
// The small bar that stands over the main window while a long loop runs on the
// user-interface thread. It has no text and no buttons; a run cannot be cancelled from it.

#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QSize>

#include <cstdint>

class QProgressBar;
class QWidget;

namespace engine {

// The bar's scale for a run of a given total. step is 100 / total; the range runs from the
// rounded position of no units to that of all units, which is 0 to 100.
struct ProgressScale {
    double step = 0.0;
    int minimum = 0;
    int maximum = 0;
};

// The scale for `total` units. A total of 0 or less (an empty collection file) has nothing
// to count: step 0 and the empty range 0 to 0.
ProgressScale MakeProgressScale(std::int64_t total);

// The bar position once `finished` units are done: finished × step + 0.5 truncated towards
// zero, then kept within the range, so a count beyond the total only fills the bar.
int ProgressPosition(const ProgressScale& scale, std::int64_t finished);

// The dialog is laid out in dialog units: a quarter of the dialog font's average character
// width across, an eighth of its height down. The layout was made for 8-point type at
// 96 dots per inch, whose average character cell is 6 × 13 pixels; those base units are used
// whatever fonts are installed and whatever the UI language, so the dialog is 249 × 29 and
// its bar 234 × 20 pixels everywhere (Qt scales pixels further on high-density screens).
inline constexpr QSize kDialogBaseUnits{6, 13};
inline constexpr QSize kProgressDialogUnits{166, 18};
inline constexpr QPoint kProgressBarOriginUnits{5, 3};
inline constexpr QSize kProgressBarUnits{156, 12};

// Dialog units to pixels; halves are rounded away from zero.
QSize DialogUnitsToPixels(QSize units, QSize baseUnits = kDialogBaseUnits);
QPoint DialogUnitsToPixels(QPoint units, QSize baseUnits = kDialogBaseUnits);

// Where a dialog of `size` goes: across, in the middle of `workArea` (the usable part of the
// owner's screen); down, in the middle of `owner` (the owner window's outer rectangle, or the
// whole screen when there is no owner). Halves of odd differences truncate towards zero.
QPoint ProgressDialogPosition(const QRect& owner, const QRect& workArea, QSize size);

// One dialog per long loop: created right before the loop, stepped after each unit of work,
// deleted right after the loop. While it exists its window stays above the others; of
// several dialogs open at once only the first is shown.
class CProgressDlg {
public:
    // How often the window is brought to the top again while the event loop runs.
    static constexpr int kRaiseIntervalMs = 1000;

    // `total` is the run's size in any unit (pictures, files, bytes). The window belongs to
    // `parent`'s window or, without a parent, to the window holding the keyboard focus.
    // When no other progress dialog is open, the window is shown, painted and activated
    // before the constructor returns.
    CProgressDlg(QWidget* parent, std::int64_t total);
    ~CProgressDlg();
    CProgressDlg(const CProgressDlg&) = delete;
    CProgressDlg& operator=(const CProgressDlg&) = delete;

    // Moves the bar to `finished` units of the total and serves every pending repaint of
    // the thread's windows; input, timers and other events keep waiting.
    void Step(std::int64_t finished);

    // The position last given to the bar.
    int Position() const { return m_nPos; }
    const ProgressScale& Scale() const { return m_scale; }

    // The dialog's window; null once its owner has destroyed it.
    QWidget* Window() const;

    // How many progress dialog windows exist at the moment.
    static int OpenCount();

private:
    ProgressScale m_scale;
    int m_nPos = 0;
    QPointer<QWidget> m_pWnd;
    QPointer<QProgressBar> m_pBar;
};

} // namespace engine
