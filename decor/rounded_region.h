#pragma once
// The shape of a window with rounded corners, as a region for QWidget::setMask.

#include <QRegion>
#include <QSize>

namespace decor {

// The rectangle (0, 0, size) with each corner rounded by a quarter of an ellipse of
// `cornerEllipse` (its full width and height, as window-shape calls take it). A pixel
// belongs to the shape when its centre lies inside the rounded rectangle. An empty size
// gives an empty region; an empty ellipse gives the plain rectangle.
QRegion RoundedRectRegion(QSize size, QSize cornerEllipse);

} // namespace decor
