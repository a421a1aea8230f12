// Thumbnails: pictures decoded and fitted into a box, JPEG files reduced while decoding.

#include "collection/thumbnail.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <turbojpeg.h>

#include <cmath>
#include <memory>
#include <vector>

using draw::CImg;

namespace {

enum class Kind { Baseline, Progressive, Grey, Ycck };

// A deterministic picture with what photographs have: smooth shading, hard edges and fine
// grain, so that decoders and filters have something to get wrong.
QImage MakePhoto(int width, int height)
{
    QImage image(width, height, draw::kNormalFormat);
    std::vector<int> wave(static_cast<size_t>(width));
    for (int x = 0; x < width; ++x)
        wave[static_cast<size_t>(x)] = static_cast<int>(90 * std::sin(x * 18.0 / width));
    quint32 seed = 20240611u;
    for (int y = 0; y < height; ++y) {
        uchar* pixel = image.scanLine(y);
        const int shade = 40 + 160 * y / height;
        for (int x = 0; x < width; ++x) {
            seed = seed * 1664525u + 1013904223u;
            const int grain = static_cast<int>(seed >> 28) - 8;
            const bool block = ((x * 16 / width) + (y * 12 / height)) % 2 != 0;
            pixel[0] = static_cast<uchar>(qBound(0, 128 + wave[static_cast<size_t>(x)] + grain, 255));
            pixel[1] = static_cast<uchar>(qBound(0, shade + grain, 255));
            pixel[2] = static_cast<uchar>(qBound(0, (block ? 200 : 50) + grain, 255));
            pixel += 3;
        }
    }
    return image;
}

struct CompressorDeleter {
    void operator()(void* handle) const { tjDestroy(handle); }
};

QByteArray Compress(const QImage& photo, Kind kind)
{
    const std::unique_ptr<void, CompressorDeleter> compressor(tjInitCompress());
    std::vector<uchar> cmyk;
    const uchar* pixels = photo.constBits();
    int pitch = static_cast<int>(photo.bytesPerLine());
    int format = TJPF_RGB;
    if (kind == Kind::Ycck) {
        // TurboJPEG stores CMYK input as YCCK, which it cannot decode back to RGB.
        cmyk.resize(static_cast<size_t>(photo.width()) * photo.height() * 4);
        for (int y = 0; y < photo.height(); ++y) {
            for (int x = 0; x < photo.width(); ++x) {
                const QRgb rgb = photo.pixel(x, y);
                uchar* out = &cmyk[(static_cast<size_t>(y) * photo.width() + x) * 4];
                // Inverted CMYK, as most CMYK JPEG files hold it: ink is stored as 255 - ink.
                out[0] = static_cast<uchar>(qRed(rgb));
                out[1] = static_cast<uchar>(qGreen(rgb));
                out[2] = static_cast<uchar>(qBlue(rgb));
                out[3] = 255;
            }
        }
        pixels = cmyk.data();
        pitch = photo.width() * 4;
        format = TJPF_CMYK;
    }
    const int sampling = kind == Kind::Grey ? TJSAMP_GRAY : TJSAMP_420;
    const int flags = kind == Kind::Progressive ? TJFLAG_PROGRESSIVE : 0;
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    const int failed = tjCompress2(compressor.get(), pixels, photo.width(), pitch, photo.height(), format, &jpeg,
                                   &size, sampling, 90, flags);
    QByteArray bytes;
    if (!failed)
        bytes = QByteArray(reinterpret_cast<const char*>(jpeg), static_cast<qsizetype>(size));
    tjFree(jpeg);
    return bytes;
}

// An Exif segment whose first directory holds only an orientation tag.
QByteArray ExifOrientation(quint16 orientation)
{
    QByteArray payload("Exif\0\0MM\0\x2a\0\0\0\x08", 14);
    payload += QByteArray("\0\x01", 2);                             // one entry
    payload += QByteArray("\x01\x12\0\x03\0\0\0\x01", 8);           // orientation, SHORT, 1
    payload += char(orientation >> 8) + QByteArray(1, char(orientation & 0xFF)) + QByteArray(2, '\0');
    payload += QByteArray(4, '\0'); // no next directory
    const int length = static_cast<int>(payload.size()) + 2;
    return QByteArray("\xFF\xE1", 2) + char(length >> 8) + char(length & 0xFF) + payload;
}

// The JPEG with its frame header claiming another size.
QByteArray WithFrameSize(QByteArray jpeg, int width, int height)
{
    for (qsizetype i = 2; i + 9 < jpeg.size(); ++i) {
        const auto marker = static_cast<uchar>(jpeg[i + 1]);
        if (static_cast<uchar>(jpeg[i]) == 0xFF && (marker == 0xC0 || marker == 0xC2)) {
            jpeg[i + 5] = char(height >> 8);
            jpeg[i + 6] = char(height & 0xFF);
            jpeg[i + 7] = char(width >> 8);
            jpeg[i + 8] = char(width & 0xFF);
            break;
        }
    }
    return jpeg;
}

// Encodes with cjpeg and the given arguments; empty when cjpeg is missing or fails.
QByteArray CompressWithCjpeg(const QImage& photo, const QStringList& arguments)
{
    const QString cjpeg = QStandardPaths::findExecutable(QStringLiteral("cjpeg"));
    if (cjpeg.isEmpty())
        return {};
    QByteArray ppm = "P6\n" + QByteArray::number(photo.width()) + ' ' + QByteArray::number(photo.height()) + "\n255\n";
    for (int y = 0; y < photo.height(); ++y)
        ppm.append(reinterpret_cast<const char*>(photo.constScanLine(y)), photo.width() * 3);
    QProcess process;
    process.start(cjpeg, arguments);
    process.write(ppm);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return {};
    return process.readAllStandardOutput();
}

// The full-size picture as TurboJPEG decodes it.
QImage DecodeFull(const QByteArray& jpeg)
{
    const std::unique_ptr<void, CompressorDeleter> decompressor(tjInitDecompress());
    const auto* data = reinterpret_cast<const unsigned char*>(jpeg.constData());
    int width = 0, height = 0, sampling = 0, colourSpace = 0;
    if (tjDecompressHeader3(decompressor.get(), data, static_cast<unsigned long>(jpeg.size()), &width, &height,
                            &sampling, &colourSpace) != 0)
        return {};
    QImage image(width, height, draw::kNormalFormat);
    if (tjDecompress2(decompressor.get(), data, static_cast<unsigned long>(jpeg.size()), image.bits(), width,
                      static_cast<int>(image.bytesPerLine()), height, TJPF_RGB, 0) != 0)
        return {};
    return image;
}

// The full-size picture as Qt's readers decode it, in the normal form.
QImage ReadFull(const QString& path)
{
    QImageReader reader(path);
    reader.setAutoTransform(false);
    reader.setAllocationLimit(0);
    return reader.read().convertToFormat(draw::kNormalFormat);
}

// Mean absolute difference per channel of two pictures of the same size and layout.
double MeanDifference(const QImage& a, const QImage& b)
{
    double total = 0;
    for (int y = 0; y < a.height(); ++y) {
        const uchar* p = a.constScanLine(y);
        const uchar* q = b.constScanLine(y);
        for (int i = 0; i < a.width() * 3; ++i)
            total += std::abs(int(p[i]) - int(q[i]));
    }
    return total / (double(a.width()) * a.height() * 3);
}

} // namespace

Q_DECLARE_METATYPE(Kind)

class TestThumbnail : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString Write(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return {};
        return path;
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void jpegReduction_data()
    {
        QTest::addColumn<QSize>("full");
        QTest::addColumn<QSize>("fitted");
        QTest::addColumn<int>("reduction");
        QTest::newRow("large photo") << QSize(4000, 3000) << QSize(96, 72) << 8;
        QTest::newRow("eighth exactly the fitted size") << QSize(768, 576) << QSize(96, 72) << 8;
        QTest::newRow("eighth rounds up to the fitted size") << QSize(761, 569) << QSize(96, 72) << 8;
        QTest::newRow("eighth one pixel short") << QSize(760, 570) << QSize(96, 72) << 4;
        QTest::newRow("quarter") << QSize(400, 300) << QSize(96, 72) << 4;
        QTest::newRow("half") << QSize(200, 150) << QSize(96, 72) << 2;
        QTest::newRow("too small to reduce") << QSize(150, 100) << QSize(96, 64) << 1;
        QTest::newRow("enlarged") << QSize(50, 40) << QSize(96, 77) << 1;
        QTest::newRow("the narrow side decides") << QSize(4000, 100) << QSize(96, 2) << 8;
        QTest::newRow("preview box") << QSize(4000, 3000) << QSize(640, 480) << 4;
    }
    void jpegReduction()
    {
        QFETCH(QSize, full);
        QFETCH(QSize, fitted);
        QFETCH(int, reduction);
        QCOMPARE(collection::JpegReductionFor(full, fitted), reduction);
    }

    void fitted_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QSize>("box");
        QTest::addColumn<QSize>("fitted");
        const QSize thumb(96, 96);
        QTest::newRow("landscape 4000 x 3000") << QSize(4000, 3000) << Kind::Baseline << thumb << QSize(96, 72);
        QTest::newRow("portrait 3000 x 4000") << QSize(3000, 4000) << Kind::Baseline << thumb << QSize(72, 96);
        QTest::newRow("small 50 x 40 is enlarged") << QSize(50, 40) << Kind::Baseline << thumb << QSize(96, 77);
        QTest::newRow("96 x 60 taken as it is") << QSize(96, 60) << Kind::Baseline << thumb << QSize(96, 60);
        QTest::newRow("progressive") << QSize(2000, 1500) << Kind::Progressive << thumb << QSize(96, 72);
        QTest::newRow("grey") << QSize(2000, 1500) << Kind::Grey << thumb << QSize(96, 72);
        QTest::newRow("sides not multiples of 8") << QSize(1001, 701) << Kind::Baseline << thumb << QSize(96, 67);
        QTest::newRow("preview box") << QSize(1600, 1200) << Kind::Baseline << QSize(640, 400) << QSize(533, 400);
        QTest::newRow("box without area: full size") << QSize(300, 200) << Kind::Baseline << QSize(0, 0) << QSize(300, 200);
    }
    void fitted()
    {
        QFETCH(QSize, picture);
        QFETCH(Kind, kind);
        QFETCH(QSize, box);
        QFETCH(QSize, fitted);
        const QImage photo = MakePhoto(picture.width(), picture.height());
        const QByteArray jpeg = Compress(photo, kind);
        QVERIFY(!jpeg.isEmpty());
        const QString path = Write(QStringLiteral("photo.jpg"), jpeg);
        QVERIFY(!path.isEmpty());

        CImg image;
        QSize size = box;
        QVERIFY(collection::LoadFitted(image, path, size));
        QCOMPARE(size, picture);
        QCOMPARE(image.GetSize(), fitted);
        QCOMPARE(image.Image().format(), draw::kNormalFormat);

        // Against a full decode rescaled with the same filter: the reduction while decoding
        // must not show. The differences seen are below 1.5 of 255 (largest where a 1/8
        // decode leaves the filter little to do); grain and hard edges make a wrong or
        // shifted picture differ by 5 and more.
        const QImage full = DecodeFull(jpeg);
        QCOMPARE(full.size(), picture);
        const double difference = MeanDifference(image.Image(), draw::ResampleBicubic(full, fitted));
        QVERIFY2(difference < 2.0, qPrintable(QStringLiteral("mean difference %1").arg(difference)));
        if (fitted == picture)
            QCOMPARE(image.Image(), full);
        // Against the picture before compression, where rescaling has averaged out the grain
        // that compression loses: catches faults the full decode would share (channel order).
        if (kind != Kind::Grey && picture.width() > 2 * fitted.width()) {
            const double fromPhoto = MeanDifference(image.Image(), draw::ResampleBicubic(photo, fitted));
            QVERIFY2(fromPhoto < 4.0, qPrintable(QStringLiteral("mean difference from the photo %1").arg(fromPhoto)));
        }
    }

    void qtReaders_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QImage>("photo");
        QTest::addColumn<QSize>("fitted");
        const QImage photo = MakePhoto(1000, 700);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        photo.save(&buffer, "PNG");
        QTest::newRow("PNG") << QStringLiteral("photo.png") << png << photo << QSize(96, 67);
        // Neither side of 1000 x 700 divides by 8: Qt's reader reduces by 4.
        QTest::newRow("YCCK") << QStringLiteral("ycck.jpg") << Compress(photo, Kind::Ycck) << photo << QSize(96, 67);
        const QImage even = MakePhoto(1600, 1200);
        QTest::newRow("YCCK, sides divisible by 8") << QStringLiteral("ycck8.jpg") << Compress(even, Kind::Ycck) << even
                                                    << QSize(96, 72);
        // Sampling factors TurboJPEG 2.1 refuses to decode.
        QTest::newRow("unusual sampling") << QStringLiteral("odd.jpg")
                                          << CompressWithCjpeg(photo, {QStringLiteral("-sample"), QStringLiteral("2x1,1x2,1x1")})
                                          << photo << QSize(96, 67);
    }
    void qtReaders()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QImage, photo);
        QFETCH(QSize, fitted);
        if (bytes.isEmpty())
            QSKIP("cjpeg (libjpeg-turbo-progs) is needed to make this picture");
        const QString path = Write(name, bytes);
        QVERIFY(!path.isEmpty());

        CImg image;
        QSize size(96, 96);
        QVERIFY(collection::LoadFitted(image, path, size));
        QCOMPARE(size, photo.size());
        QCOMPARE(image.GetSize(), fitted);
        QCOMPARE(image.Image().format(), draw::kNormalFormat);
        // The library's reduced decoding of subsampled colour is a little coarser than
        // TurboJPEG's, hence more room than above.
        const double difference = MeanDifference(image.Image(), draw::ResampleBicubic(ReadFull(path), fitted));
        QVERIFY2(difference < 2.5, qPrintable(QStringLiteral("mean difference %1").arg(difference)));
        const double fromPhoto = MeanDifference(image.Image(), draw::ResampleBicubic(photo, fitted));
        QVERIFY2(fromPhoto < 4.0, qPrintable(QStringLiteral("mean difference from the photo %1").arg(fromPhoto)));
    }

    void orientationTagIsIgnored_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::newRow("TurboJPEG") << Kind::Baseline;
        QTest::newRow("Qt's reader") << Kind::Ycck;
    }
    void orientationTagIsIgnored()
    {
        QFETCH(Kind, kind);
        const QByteArray jpeg = Compress(MakePhoto(400, 300), kind);
        QVERIFY(!jpeg.isEmpty());
        // Orientation 6: to be shown turned 90 degrees clockwise.
        const QString path = Write(QStringLiteral("tagged.jpg"), jpeg.left(2) + ExifOrientation(6) + jpeg.mid(2));
        QVERIFY(!path.isEmpty());

        CImg image;
        QSize size(96, 96);
        QVERIFY(collection::LoadFitted(image, path, size));
        QCOMPARE(size, QSize(400, 300));
        QCOMPARE(image.GetSize(), QSize(96, 72));
    }

    void refused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray jpeg = Compress(MakePhoto(64, 48), Kind::Baseline);
        QTest::newRow("text file named .jpg") << QStringLiteral("notes.jpg") << QByteArray("Shopping list:\nbread\nmilk\n");
        QTest::newRow("empty file") << QStringLiteral("empty.jpg") << QByteArray();
        QTest::newRow("missing file") << QStringLiteral("missing.jpg") << QByteArray();
        QTest::newRow("JPEG cut inside its header") << QStringLiteral("cut.jpg") << jpeg.left(100);
        // The header alone would make the decoder reserve gigabytes.
        QTest::newRow("absurd dimensions") << QStringLiteral("huge.jpg") << WithFrameSize(jpeg, 60000, 60000);
    }
    void refused()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QString path = m_dir.filePath(name);
        if (QTest::currentDataTag() != QByteArrayLiteral("missing file"))
            path = Write(name, bytes);
        QVERIFY(!path.isEmpty());

        QImage held(10, 10, draw::kNormalFormat);
        held.fill(qRgb(10, 20, 30));
        CImg image(held);
        QSize size(96, 96);
        QVERIFY(!collection::LoadFitted(image, path, size));
        QCOMPARE(size, QSize(96, 96));
        QCOMPARE(image.Image(), held);
    }

    void truncatedDataStillGivesAThumbnail()
    {
        // As far as the data goes the picture is shown; the missing rest is filled in.
        const QByteArray jpeg = Compress(MakePhoto(800, 600), Kind::Baseline);
        const QString path = Write(QStringLiteral("truncated.jpg"), jpeg.left(jpeg.size() * 2 / 3));
        CImg image;
        QSize size(96, 96);
        QVERIFY(collection::LoadFitted(image, path, size));
        QCOMPARE(size, QSize(800, 600));
        QCOMPARE(image.GetSize(), QSize(96, 72));
    }
};

QTEST_MAIN(TestThumbnail)
#include "tst_thumbnail.moc"
