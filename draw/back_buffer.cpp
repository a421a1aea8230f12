#include "draw/back_buffer.h"

#include <QPaintDevice>

namespace draw {

bool CreateBackBuffer(const QPaintDevice* compatibleWith, int width, int height, QRgb colour, QImage& buffer)
{
    buffer = QImage();
    if (width <= 0 || height <= 0)
        return false;
    const qreal ratio = compatibleWith ? compatibleWith->devicePixelRatio() : 1.0;
    // The layout the window system's back store uses, so the final copy needs no conversion.
    QImage surface(qRound(width * ratio), qRound(height * ratio), QImage::Format_RGB32);
    if (surface.isNull())
        return false;
    surface.setDevicePixelRatio(ratio);
    surface.fill(colour);
    buffer = std::move(surface);
    return true;
}

} // namespace draw
