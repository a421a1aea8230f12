#include "collection/thumbnail.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImageReader>

#include <turbojpeg.h>

#include <memory>
#include <optional>
#include <utility>

namespace collection {
namespace {

// Lets the decoder read no more progressive scans than the library's limit, so that a file
// crafted with thousands of scans cannot keep the window busy for minutes.
constexpr int kDecodeFlags = TJFLAG_LIMITSCANS;

struct DecompressorDeleter {
    void operator()(void* handle) const { tjDestroy(handle); }
};
using Decompressor = std::unique_ptr<void, DecompressorDeleter>;

struct Decoded {
    QImage image;      // the picture, possibly already reduced
    QSize fullSize;    // its size as stored in the file
    int reduction = 1; // the image holds the picture at 1/reduction
};

// The size a decode at 1/reduction has: each side rounded up, as the JPEG library does.
QSize Reduced(const QSize& full, int reduction)
{
    return QSize((full.width() + reduction - 1) / reduction, (full.height() + reduction - 1) / reduction);
}

// The size the picture ends at: fitted into the box, or its own for a box without area.
QSize FittedSize(const QSize& full, const QSize& box)
{
    if (box.width() <= 0 || box.height() <= 0)
        return full;
    QSize fitted = full;
    draw::FitToBox(fitted, box.width(), box.height());
    return fitted;
}

bool TooLarge(int width, int height)
{
    return std::int64_t{width} * height > draw::kMaxDecodePixels;
}

// Decodes a JPEG to RGB with TurboJPEG at the reduction the box allows. Nothing when the
// data is no JPEG TurboJPEG can turn into RGB: CMYK and YCCK pictures, sampling factors
// TurboJPEG 2.1 refuses, damage it cannot read past. Those are left to Qt's readers.
std::optional<Decoded> DecodeJpeg(const QByteArray& bytes, const QSize& box)
{
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    const auto length = static_cast<unsigned long>(bytes.size());
    if (length < 2 || data[0] != 0xFF || data[1] != 0xD8)
        return std::nullopt;
    const Decompressor decompressor(tjInitDecompress());
    if (!decompressor)
        return std::nullopt;
    int width = 0;
    int height = 0;
    int subsampling = 0;
    int colourSpace = 0;
    if (tjDecompressHeader3(decompressor.get(), data, length, &width, &height, &subsampling, &colourSpace) != 0)
        return std::nullopt;
    if (colourSpace == TJCS_CMYK || colourSpace == TJCS_YCCK || width <= 0 || height <= 0 || TooLarge(width, height))
        return std::nullopt;
    const QSize full(width, height);
    const int reduction = JpegReductionFor(full, FittedSize(full, box));
    const QSize reduced = Reduced(full, reduction);
    QImage image(reduced, draw::kNormalFormat);
    if (image.isNull())
        return std::nullopt;
    // The output size picks the library's scaling factor. A warning (a truncated file, a
    // corrupt stretch) still leaves a whole picture, the unreadable part filled in.
    if (tjDecompress2(decompressor.get(), data, length, image.bits(), reduced.width(),
                      static_cast<int>(image.bytesPerLine()), reduced.height(), TJPF_RGB, kDecodeFlags) != 0
        && tjGetErrorCode(decompressor.get()) != TJERR_WARNING)
        return std::nullopt;
    return Decoded{std::move(image), full, reduction};
}

// Decodes any format Qt reads. Qt's JPEG reader reduces in the DCT domain too, but when
// the requested size is not exactly what a reduction gives, it reduces less and finishes
// with its own smoothing. So it is asked only for sizes it reaches exactly: the reduction
// DecodeJpeg would take, halved until it divides both sides.
std::optional<Decoded> DecodeWithQt(QByteArray bytes, const QSize& box)
{
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return std::nullopt;
    QImageReader reader(&buffer);
    if (!draw::PrepareReader(reader))
        return std::nullopt;
    const QSize full = reader.size();
    int reduction = 1;
    if (full.isValid() && reader.format() == "jpeg" && reader.supportsOption(QImageIOHandler::ScaledSize)) {
        reduction = JpegReductionFor(full, FittedSize(full, box));
        while (reduction > 1 && (full.width() % reduction != 0 || full.height() % reduction != 0))
            reduction /= 2;
        if (reduction > 1)
            reader.setScaledSize(full / reduction);
    }
    QImage image = reader.read();
    if (image.isNull())
        return std::nullopt;
    if (!full.isValid())
        return Decoded{image, image.size(), 1};
    // Should the reader not have reduced after all, the picture is taken at full size.
    if (image.size() != Reduced(full, reduction))
        reduction = 1;
    return Decoded{std::move(image), full, reduction};
}

// The file's bytes: a mapped view where the system allows, read into memory otherwise.
// The view lives as long as `file` stays open.
std::optional<QByteArray> FileBytes(QFile& file)
{
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const qint64 length = file.size();
    if (length > 0) {
        if (const uchar* mapped = file.map(0, length))
            return QByteArray::fromRawData(reinterpret_cast<const char*>(mapped), static_cast<qsizetype>(length));
    }
    QByteArray bytes = file.readAll();
    if (bytes.isEmpty())
        return std::nullopt;
    return bytes;
}

} // namespace

int JpegReductionFor(const QSize& full, const QSize& fitted)
{
    if (full.isEmpty() || fitted.isEmpty())
        return 1;
    for (const int reduction : {8, 4, 2}) {
        const QSize reduced = Reduced(full, reduction);
        if (reduced.width() >= fitted.width() && reduced.height() >= fitted.height())
            return reduction;
    }
    return 1;
}

bool LoadFitted(draw::CImg& image, const QString& path, QSize& size)
{
    QFile file(path);
    const std::optional<QByteArray> bytes = FileBytes(file);
    if (!bytes)
        return false;
    std::optional<Decoded> decoded = DecodeJpeg(*bytes, size);
    if (!decoded)
        decoded = DecodeWithQt(*bytes, size);
    if (!decoded)
        return false;

    const QSize full = decoded->fullSize;
    const QSize fitted = FittedSize(full, size);
    draw::CImg result(std::move(decoded->image));
    if (!result.ConvertTo24Bit() || !result.ConvertToDIB())
        return false;
    if (decoded->reduction > 1) {
        // The last row and column of a reduced decode stand for the remainder of the
        // picture's sides only; the rescale covers exactly the picture's own extent.
        const QSizeF extent(double(full.width()) / decoded->reduction, double(full.height()) / decoded->reduction);
        QImage fittedImage = draw::ResampleBicubic(result.Image(), fitted, extent);
        if (fittedImage.isNull())
            return false;
        result.Attach(std::move(fittedImage));
    } else if (result.GetSize() != fitted && !result.ResizeTo(fitted.width(), fitted.height())) {
        // A failed rescale fails the whole load, rather than handing back a picture that
        // does not fit the box.
        return false;
    }
    image = std::move(result);
    size = full;
    return true;
}

} // namespace collection
