#pragma once
// Off-screen composition: a routine draws its whole area into a back buffer and copies it
// to the real surface in one go, so nothing flickers.

#include <QColor>
#include <QImage>

class QPaintDevice;

namespace draw {

// Makes `buffer` an off-screen surface of width x height logical pixels filled with
// `colour`, matching the pixel ratio of `compatibleWith` (when given) so that copying it
// there is 1:1. On failure (an empty size, no memory) `buffer` is made null and false is
// returned; the caller then has nothing to copy and should skip its drawing.
bool CreateBackBuffer(const QPaintDevice* compatibleWith, int width, int height, QRgb colour, QImage& buffer);

} // namespace draw
