#include "draw/image.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <QPainter>
#include <QString>

#include <algorithm>

namespace draw {
namespace {

QImage Decode(QImageReader& reader)
{
    return PrepareReader(reader) ? reader.read() : QImage();
}

// `image` in the normal form; a null image when memory runs out. Pixels with alpha are
// laid over black, the content of a freshly made 24-bit surface.
QImage Normalised(const QImage& image)
{
    if (image.format() == kNormalFormat)
        return image;
    if (!image.hasAlphaChannel())
        return image.convertToFormat(kNormalFormat);
    QImage flat(image.size(), kNormalFormat);
    if (flat.isNull())
        return {};
    flat.fill(Qt::black);
    QPainter painter(&flat);
    painter.drawImage(0, 0, image);
    return flat;
}

} // namespace

bool PrepareReader(QImageReader& reader)
{
    reader.setAutoTransform(false);
    reader.setAllocationLimit(kDecodeAllocationLimitMB);
    const QSize announced = reader.size();
    return !announced.isValid() || std::int64_t{announced.width()} * announced.height() <= kMaxDecodePixels;
}

bool CImg::Load(const QString& path)
{
    QImageReader reader(path);
    QImage decoded = Decode(reader);
    if (decoded.isNull())
        return false;
    m_image = std::move(decoded);
    return true;
}

bool CImg::LoadFromBuffer(const void* bytes, std::int32_t count)
{
    if (!bytes || count <= 0)
        return false;
    QByteArray data = QByteArray::fromRawData(static_cast<const char*>(bytes), count);
    QBuffer buffer(&data);
    if (!buffer.open(QIODevice::ReadOnly))
        return false;
    QImageReader reader(&buffer);
    return TakeNormalised(Decode(reader));
}

bool CImg::LoadFromBuffer(const QByteArray& bytes)
{
    if (bytes.size() > INT32_MAX)
        return false;
    return LoadFromBuffer(bytes.constData(), static_cast<std::int32_t>(bytes.size()));
}

bool CImg::LoadResource(int id, const ResourceLoader& loader)
{
    return loader && TakeNormalised(loader(id));
}

bool CImg::TakeNormalised(QImage decoded)
{
    if (decoded.isNull())
        return false;
    CImg loaded(std::move(decoded));
    if (!loaded.ConvertTo24Bit() || !loaded.ConvertToDIB())
        return false;
    m_image = std::move(loaded.m_image);
    return true;
}

bool CImg::NormaliseUnless(bool alreadyFine)
{
    if (m_image.isNull())
        return false;
    if (alreadyFine)
        return true;
    QImage converted = Normalised(m_image);
    if (converted.isNull())
        return false;
    m_image = std::move(converted);
    return true;
}

bool CImg::ConvertTo24Bit()
{
    return NormaliseUnless(!m_image.isNull() && m_image.depth() == 24);
}

bool CImg::ConvertToDIB()
{
    return NormaliseUnless(m_image.format() == kNormalFormat);
}

bool CImg::ResizeTo(int width, int height)
{
    if (m_image.isNull() || width <= 0 || height <= 0)
        return false;
    QImage resized = ResampleBicubic(m_image, QSize(width, height));
    if (resized.isNull())
        return false;
    m_image = std::move(resized);
    return true;
}

void CImg::Draw(QPainter& surface, int x, int y) const
{
    if (!m_image.isNull())
        surface.drawImage(x, y, m_image);
}

void CImg::Draw(QPainter& surface, const QRect& destination, const QRect& source) const
{
    if (!m_image.isNull())
        surface.drawImage(destination.topLeft(), m_image, QRect(source.topLeft(), destination.size()));
}

void CImg::DrawScaled(QPainter& surface, const QRect& destination) const
{
    DrawPart(destination, surface, m_image.rect());
}

void CImg::DrawPart(const QRect& destination, QPainter& surface, const QRect& source) const
{
    if (m_image.isNull() || destination.isEmpty() || source.isEmpty())
        return;
    const QImage part = source == m_image.rect() ? m_image : m_image.copy(source);
    // Rescale to the device pixels the rectangle covers, so that the painter itself only
    // copies; a painter that also rotates or shears gets the rectangle's own size.
    QSize target = destination.size();
    const QTransform& toDevice = surface.deviceTransform();
    if (toDevice.type() <= QTransform::TxScale) {
        const QSizeF covered = toDevice.mapRect(QRectF(destination)).size();
        target = QSize(std::max(1, qRound(covered.width())), std::max(1, qRound(covered.height())));
    }
    const QImage scaled = ResampleBicubic(part, target);
    if (!scaled.isNull())
        surface.drawImage(QRectF(destination), scaled);
}

void CImg::DrawKeyed(QPainter& surface, int x, int y, int width, int height) const
{
    if (m_image.isNull() || width <= 0 || height <= 0)
        return;
    QImage keyed = m_image.convertToFormat(QImage::Format_ARGB32);
    if (keyed.isNull())
        return;
    const QRgb key = kColourKey & RGB_MASK;
    for (int row = 0; row < keyed.height(); ++row) {
        QRgb* pixel = reinterpret_cast<QRgb*>(keyed.scanLine(row));
        for (int column = 0; column < keyed.width(); ++column) {
            if ((pixel[column] & RGB_MASK) == key)
                pixel[column] = 0; // fully transparent
        }
    }
    // Repeating pixels (no smoothing) keeps keyed and kept pixels apart when stretching.
    if (keyed.size() != QSize(width, height))
        keyed = keyed.scaled(width, height, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    surface.save();
    surface.setCompositionMode(QPainter::CompositionMode_SourceOver);
    surface.setRenderHint(QPainter::SmoothPixmapTransform, false);
    surface.drawImage(x, y, keyed);
    surface.restore();
}

std::optional<CImg> CropImage(const QRect& rectangle, const CImg& source)
{
    if (rectangle.isEmpty() || source.IsNull())
        return std::nullopt;
    QImage cell(rectangle.size(), kNormalFormat);
    if (cell.isNull())
        return std::nullopt;
    cell.fill(Qt::black);
    QPainter painter(&cell);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPoint(0, 0), source.Image(), rectangle);
    painter.end();
    return CImg(std::move(cell));
}

void FitToBox(QSize& size, int boxWidth, int boxHeight)
{
    const int width = size.width();
    const int height = size.height();
    if (width <= 0 || height <= 0)
        return;
    // The cross products are taken in 64 bits: they agree with 32-bit products wherever
    // those do not overflow, and stay right for large boxes where those would.
    const std::int64_t widthTimesBoxHeight = std::int64_t{width} * boxHeight;
    const std::int64_t heightTimesBoxWidth = std::int64_t{height} * boxWidth;
    // Nearest integer, halves up: extended-precision quotient, plus one half, truncated.
    const auto rounded = [](std::int64_t numerator, int denominator) {
        return static_cast<int>(static_cast<long double>(numerator) / denominator + 0.5L);
    };
    int fittedWidth = 0;
    int fittedHeight = 0;
    if (widthTimesBoxHeight > heightTimesBoxWidth) {
        fittedWidth = boxWidth;
        fittedHeight = rounded(heightTimesBoxWidth, width);
    } else {
        fittedWidth = rounded(widthTimesBoxHeight, height);
        fittedHeight = boxHeight;
    }
    size = QSize(std::max(fittedWidth, 1), std::max(fittedHeight, 1));
}

} // namespace draw
