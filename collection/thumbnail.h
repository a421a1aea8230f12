#pragma once
// Thumbnails and previews: a picture file decoded and fitted into a box.

#include "draw/image.h"

#include <QSize>
#include <QString>

namespace collection {

// Decodes the picture file at `path` and fits it into the box `size` (width, height) with
// draw::FitToBox and the bicubic filter, as stored (no orientation tag applied).
// On success `image` holds the fitted picture in the normal form and `size` the picture's
// full-size width and height; a box with no area gives the picture at full size. On
// failure (missing, unreadable, undecodable or oversized file, no memory) returns false
// and leaves `image` and `size` as they were.
//
// JPEG files are decoded by TurboJPEG at the largest DCT reduction (1/2, 1/4, 1/8) whose
// result is still at least the fitted size, then rescaled bicubically: the result looks
// like a bicubic rescale of the full decode at a fraction of the cost. Other formats, and
// JPEG files TurboJPEG cannot turn into RGB (CMYK, YCCK, unusual sampling factors), are
// read by Qt's image readers.
bool LoadFitted(draw::CImg& image, const QString& path, QSize& size);

// The DCT reduction (1, 2, 4 or 8) LoadFitted decodes a JPEG of `full` size at when the
// picture is to be fitted to `fitted`: the largest whose result, each side rounded up, is
// still at least `fitted` in both dimensions.
int JpegReductionFor(const QSize& full, const QSize& fitted);

} // namespace collection
