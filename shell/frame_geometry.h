#pragma once
// The geometry of the borderless main window, as plain arithmetic: where it starts, which
// part of its edge a point grabs, how a resize drag moves the edges, and the opacity steps
// of the start-up banner.

#include <QPoint>
#include <QRect>
#include <QSize>

#include <vector>

namespace shell {

// The main window's size at every start, and the smallest it may be made.
inline constexpr QSize kFrameStartSize{984, 728};
inline constexpr QSize kFrameMinimumSize{800, 600};
// The rounded corners of the main window and the help card: the corner ellipse's size.
inline constexpr int kCornerEllipse = 4;

// A rectangle of `size` centred in `workArea`; the halves truncate towards zero, and
// nothing keeps it inside a work area smaller than itself.
QRect CenterInWorkArea(const QRect& workArea, QSize size);

// The parts of the window's edge a press can grab to resize it; None moves the window.
enum class BorderZone : int {
    None = 0,
    TopLeft = 1,
    TopRight = 2,
    BottomLeft = 3,
    BottomRight = 4,
    Left = 5,
    Top = 6,
    Right = 7,
    Bottom = 8,
};

// The grab zones reach this far from the corners and the edges.
inline constexpr int kCornerReach = 16;
inline constexpr int kEdgeReach = 8;

// The zone of `client` under `point` (both in the same coordinates). Corners are tested
// before edges; every zone rectangle includes its left and top edges only.
BorderZone HitTestBorder(const QRect& client, const QPoint& point);

// The window rectangle while a resize drag of `zone` has moved the pointer by `delta` since
// the press, when the window was `start`: the grabbed edges follow the pointer, the others
// stay, and the window never becomes smaller than `minimum`.
QRect ResizeFrameRect(const QRect& start, BorderZone zone, QPoint delta, QSize minimum = kFrameMinimumSize);

// The banner's opacity steps in percent: fading in 0, 5, ... 100; fading out 100, 98, 95,
// ... 50 (100 - 2.5 i rounded, halves up).
std::vector<int> FadeInSteps();
std::vector<int> FadeOutSteps();

// Delays of the start-up sequence, in milliseconds.
inline constexpr int kFadeInStepMs = 50;
inline constexpr int kBannerHoldMs = 1500;
inline constexpr int kFadeOutStepMs = 25;

// The alpha value (0..255) of an opacity in percent, truncated; out-of-range percentages are clamped.
int OpacityAlpha(int percent);

} // namespace shell
