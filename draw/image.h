#pragma once
// The one image object of the program: every thumbnail, preview, button strip and
// decoration is held and drawn through it.

#include "resources/images.h"

#include <QImage>
#include <QRect>
#include <QSize>

#include <cstdint>
#include <functional>
#include <optional>

class QByteArray;
class QImageReader;
class QPainter;
class QString;

namespace draw {

// Every loaded picture ends in this layout: 24 bits per pixel, bytes in R, G, B order,
// no alpha. It is what the JPEG decoder writes directly and what the resampler works on
// with three channels instead of four, and depth() reports the 24 bits callers expect.
inline constexpr QImage::Format kNormalFormat = QImage::Format_RGB888;

// Pictures announcing more pixels than this are refused before they are decoded (a
// header can claim up to 65535 x 65535 pixels for a few bytes of file).
inline constexpr std::int64_t kMaxDecodePixels = std::int64_t{1} << 28;

// The per-image allocation limit handed to Qt's readers, sized so that the largest
// picture accepted above fits at four bytes per pixel (Qt's own default is 256 MB, which
// refuses large photographs).
inline constexpr int kDecodeAllocationLimitMB = static_cast<int>(kMaxDecodePixels * 4 / (1024 * 1024));

// Sets up `reader` the way every picture is read: as stored (no orientation tag applied)
// and under kDecodeAllocationLimitMB. False when the picture announces more than
// kMaxDecodePixels, which is then not to be read.
bool PrepareReader(QImageReader& reader);

// The colour that keyed copies leave out.
inline constexpr QRgb kColourKey = resources::kColourKey;

// Gives the picture carried by the program under a resource number, or a null image.
using ResourceLoader = std::function<QImage(int id)>;

// A picture in memory. Loads and conversions report failure by returning false and then
// leave the object exactly as it was; successful loads leave it in kNormalFormat.
// Copies share pixels until one of them changes (Qt's implicit sharing).
class CImg {
public:
    CImg() = default;
    explicit CImg(QImage image) : m_image(std::move(image)) {}

    bool IsNull() const { return m_image.isNull(); }
    int GetWidth() const { return m_image.width(); }
    int GetHeight() const { return m_image.height(); }
    QSize GetSize() const { return m_image.size(); }
    int GetBPP() const { return m_image.isNull() ? 0 : m_image.depth(); }
    const QImage& Image() const { return m_image; }

    // Takes over `image` as it is (no conversion), replacing what was held.
    void Attach(QImage image) { m_image = std::move(image); }
    // Gives up the picture, leaving the object empty.
    void Destroy() { m_image = QImage(); }

    // Decodes a picture file in any format Qt reads, as stored (no orientation applied),
    // without conversion. False for a missing, unreadable, undecodable or oversized file.
    bool Load(const QString& path);

    // Decodes an image file held in memory and brings it into the normal form.
    bool LoadFromBuffer(const void* bytes, std::int32_t count);
    bool LoadFromBuffer(const QByteArray& bytes);

    // Takes the picture `loader` gives for `id` and brings it into the normal form. A
    // resource that is missing (null image) leaves the object as it was.
    bool LoadResource(int id, const ResourceLoader& loader);

    // Makes the picture 24 bits per pixel when it is not; pixels with alpha are laid over
    // black, as drawing them into a fresh 24-bit surface would.
    bool ConvertTo24Bit();
    // Makes the picture kNormalFormat when it is not.
    bool ConvertToDIB();

    // Rescales in place with the bicubic filter. Layouts other than 24-bit RGB, 8-bit
    // grey and the 32-bit ones come back in the normal form.
    bool ResizeTo(int width, int height);

    // Draws the whole picture at (x, y) at its own size, opaque.
    void Draw(QPainter& surface, int x, int y) const;
    // Copies `source` of the picture to `destination` of the same size, opaque.
    void Draw(QPainter& surface, const QRect& destination, const QRect& source) const;
    // Draws the whole picture scaled into `destination` with the bicubic filter.
    void DrawScaled(QPainter& surface, const QRect& destination) const;
    // Draws `source` (in pixels of the picture) scaled into `destination` with the bicubic filter.
    void DrawPart(const QRect& destination, QPainter& surface, const QRect& source) const;
    // Copies the whole picture stretched to width x height at (x, y), leaving out every
    // pixel of kColourKey. Stretching repeats pixels, so the key stays exact.
    void DrawKeyed(QPainter& surface, int x, int y, int width, int height) const;

private:
    bool TakeNormalised(QImage decoded);
    // Brings the picture into the normal form unless `alreadyFine`; false for no picture or
    // a failed conversion, which leaves the picture as it was.
    bool NormaliseUnless(bool alreadyFine);

    QImage m_image;
};

// A 24-bit picture of `rectangle`'s size holding what `source` has under the rectangle
// at 1:1; parts of the rectangle outside the source are black. Nothing for an empty
// rectangle, an empty source or a failed allocation.
std::optional<CImg> CropImage(const QRect& rectangle, const CImg& source);

// Scales `size` so that it fills the box in one dimension and keeps its aspect ratio,
// enlarging small sizes as well as shrinking large ones: the width becomes boxWidth when
// the size is relatively wider than the box, otherwise the height becomes boxHeight, and
// the other side is rounded to the nearest integer with halves going up, and is at least
// 1. A size with no area is left as it is.
void FitToBox(QSize& size, int boxWidth, int boxHeight);

// Rescales `source` to `size` with the bicubic (Catmull-Rom) filter. A null image when
// the size is empty or memory runs out.
QImage ResampleBicubic(const QImage& source, const QSize& size);

// Rescales the part of `source` from (0, 0) to `extent` (in pixels, fractions allowed) to
// `size`: for a picture whose last row and column stand for less than a whole pixel, as a
// JPEG decoded at a reduction has when its sides are not multiples of the reduction.
QImage ResampleBicubic(const QImage& source, const QSize& size, const QSizeF& extent);

} // namespace draw
