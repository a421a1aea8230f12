#include "shell/frame_geometry.h"

#include <algorithm>

namespace shell {
namespace {

constexpr int kFadeSteps = 21;
constexpr int kFadeInStride = 5;
constexpr double kFadeOutStride = 2.5;

// Rectangle from (left, top) to (right, bottom), right and bottom excluded.
bool Holds(int left, int top, int right, int bottom, const QPoint& p)
{
    return p.x() >= left && p.x() < right && p.y() >= top && p.y() < bottom;
}

} // namespace

QRect CenterInWorkArea(const QRect& workArea, QSize size)
{
    const int left = workArea.left() + (workArea.width() - size.width()) / 2;
    const int top = workArea.top() + (workArea.height() - size.height()) / 2;
    return QRect(QPoint(left, top), size);
}

BorderZone HitTestBorder(const QRect& client, const QPoint& p)
{
    if (client.isEmpty())
        return BorderZone::None;
    const int l = client.left();
    const int t = client.top();
    const int r = client.left() + client.width();
    const int b = client.top() + client.height();
    const int c = kCornerReach;
    const int e = kEdgeReach;
    if (Holds(l - c, t - c, l + c, t + c, p))
        return BorderZone::TopLeft;
    if (Holds(l - c, b - c, l + c, b + c, p))
        return BorderZone::BottomLeft;
    if (Holds(r - c, t - c, r + c, t + c, p))
        return BorderZone::TopRight;
    if (Holds(r - c, b - c, r + c, b + c, p))
        return BorderZone::BottomRight;
    if (Holds(l - e, t + e, l + e, b - e, p))
        return BorderZone::Left;
    if (Holds(l + e, b - e, r - e, b + e, p))
        return BorderZone::Bottom;
    if (Holds(l + e, t - e, r - e, t + e, p))
        return BorderZone::Top;
    if (Holds(r - e, t + e, r + e, b - e, p))
        return BorderZone::Right;
    return BorderZone::None;
}

QRect ResizeFrameRect(const QRect& start, BorderZone zone, QPoint delta, QSize minimum)
{
    int left = start.left();
    int top = start.top();
    int right = start.left() + start.width();
    int bottom = start.top() + start.height();
    const int width = start.width();
    const int height = start.height();
    const auto is = [zone](std::initializer_list<BorderZone> zones) {
        return std::find(zones.begin(), zones.end(), zone) != zones.end();
    };
    if (is({BorderZone::TopLeft, BorderZone::BottomLeft, BorderZone::Left}))
        left += std::min(delta.x(), width - minimum.width());
    if (is({BorderZone::TopLeft, BorderZone::TopRight, BorderZone::Top}))
        top += std::min(delta.y(), height - minimum.height());
    if (is({BorderZone::TopRight, BorderZone::BottomRight, BorderZone::Right}))
        right += std::max(delta.x(), minimum.width() - width);
    if (is({BorderZone::BottomLeft, BorderZone::BottomRight, BorderZone::Bottom}))
        bottom += std::max(delta.y(), minimum.height() - height);
    return QRect(QPoint(left, top), QSize(right - left, bottom - top));
}

std::vector<int> FadeInSteps()
{
    std::vector<int> steps;
    for (int i = 0; i < kFadeSteps; ++i)
        steps.push_back(i * kFadeInStride);
    return steps;
}

std::vector<int> FadeOutSteps()
{
    std::vector<int> steps;
    for (int i = 0; i < kFadeSteps; ++i)
        steps.push_back(int(100 - kFadeOutStride * i + 0.5));
    return steps;
}

int OpacityAlpha(int percent)
{
    return std::clamp(percent, 0, 100) * 255 / 100;
}

} // namespace shell
