// Bicubic rescaling through stb_image_resize, whose implementation is compiled here once.

#include "draw/image.h"

#include <QSysInfo>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wold-style-cast"
#pragma GCC diagnostic ignored "-Wcast-align"
#pragma GCC diagnostic ignored "-Wshadow"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wnull-dereference"
#pragma GCC diagnostic ignored "-Wpedantic"
#define STB_IMAGE_RESIZE_IMPLEMENTATION
#define STB_IMAGE_RESIZE_STATIC
#include <stb/stb_image_resize.h>
#pragma GCC diagnostic pop

namespace draw {
namespace {

struct Layout {
    int channels = 0;
    int alphaChannel = STBIR_ALPHA_CHANNEL_NONE;
};

// How the resampler sees the bytes of a pixel. Only layouts whose channels are whole bytes
// and independent of each other can be filtered directly.
std::optional<Layout> LayoutOf(QImage::Format format)
{
    switch (format) {
    case QImage::Format_RGB888:
    case QImage::Format_BGR888:
        return Layout{3};
    case QImage::Format_Grayscale8:
        return Layout{1};
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32_Premultiplied:
    case QImage::Format_RGBX8888:
    case QImage::Format_RGBA8888_Premultiplied:
        return Layout{4}; // the fourth byte is constant or already weighted
    case QImage::Format_ARGB32:
    case QImage::Format_RGBA8888: {
        // Straight alpha: colours are weighted by their alpha while filtering. The alpha
        // byte is the last in memory for both on a little-endian machine.
        const int alpha = format == QImage::Format_RGBA8888 || QSysInfo::ByteOrder == QSysInfo::LittleEndian ? 3 : 0;
        return Layout{4, alpha};
    }
    default:
        return std::nullopt;
    }
}

} // namespace

QImage ResampleBicubic(const QImage& source, const QSize& size)
{
    return ResampleBicubic(source, size, QSizeF(source.size()));
}

QImage ResampleBicubic(const QImage& source, const QSize& size, const QSizeF& extent)
{
    if (source.isNull() || size.isEmpty() || extent.isEmpty())
        return {};
    const QImage input = LayoutOf(source.format()) ? source : source.convertToFormat(kNormalFormat);
    if (input.isNull())
        return {};
    const bool whole = extent == QSizeF(input.size());
    if (whole && input.size() == size)
        return input;
    const Layout layout = *LayoutOf(input.format());
    QImage output(size, input.format());
    if (output.isNull())
        return {};
    // Clamped edges, so that borders are not darkened by pixels from outside the picture;
    // the values are filtered as stored, without a gamma conversion. The region is given
    // as fractions of the source's sides.
    const int ok = stbir_resize_region(
        input.constBits(), input.width(), input.height(), static_cast<int>(input.bytesPerLine()),
        output.bits(), output.width(), output.height(), static_cast<int>(output.bytesPerLine()),
        STBIR_TYPE_UINT8, layout.channels, layout.alphaChannel, 0, STBIR_EDGE_CLAMP, STBIR_EDGE_CLAMP,
        STBIR_FILTER_CATMULLROM, STBIR_FILTER_CATMULLROM, STBIR_COLORSPACE_LINEAR, nullptr, 0.0f, 0.0f,
        static_cast<float>(extent.width() / input.width()), static_cast<float>(extent.height() / input.height()));
    if (!ok)
        return {};
    return output;
}

} // namespace draw
