#include "decor/rounded_region.h"

#include <algorithm>
#include <cmath>

namespace decor {

QRegion RoundedRectRegion(QSize size, QSize cornerEllipse)
{
    const int width = size.width();
    const int height = size.height();
    if (width <= 0 || height <= 0)
        return {};
    // Corners larger than the rectangle meet in its middle.
    const double rx = std::min(std::max(0, cornerEllipse.width()), width) / 2.0;
    const double ry = std::min(std::max(0, cornerEllipse.height()), height) / 2.0;
    if (rx <= 0 || ry <= 0)
        return QRegion(0, 0, width, height);

    // How far row y is inset on each side: the first column whose centre is inside the
    // corner's ellipse. Rows between the corners are not inset.
    auto inset = [&](int y) {
        const double centreY = y + 0.5;
        double dy = 0;
        if (centreY < ry)
            dy = ry - centreY;
        else if (centreY > height - ry)
            dy = centreY - (height - ry);
        if (dy <= 0)
            return 0;
        const double ratio = std::min(1.0, dy / ry);
        const double halfWidth = rx * std::sqrt(1.0 - ratio * ratio);
        return std::max(0, static_cast<int>(std::ceil(rx - halfWidth - 0.5)));
    };

    // Runs of rows with the same inset become one rectangle each.
    QRegion region;
    int runStart = 0;
    int runInset = inset(0);
    for (int y = 1; y <= height; ++y) {
        const int rowInset = y < height ? inset(y) : -1;
        if (rowInset == runInset)
            continue;
        if (width - 2 * runInset > 0)
            region += QRect(runInset, runStart, width - 2 * runInset, y - runStart);
        runStart = y;
        runInset = rowInset;
    }
    return region;
}

} // namespace decor
