// The image object: loading into the normal form, conversions, bicubic rescaling, the
// drawing operations and the fitting rule.

#include "draw/image.h"

#include <QBuffer>
#include <QPainter>
#include <QTest>

#include <cmath>
#include <cstdlib>

using draw::CImg;

namespace {

QByteArray Encoded(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// A picture of four solid quadrants: red, green / blue, yellow.
QImage Quadrants(int width, int height, QImage::Format format = QImage::Format_RGB32)
{
    QImage image(width, height, format);
    QPainter painter(&image);
    painter.fillRect(0, 0, width / 2, height / 2, Qt::red);
    painter.fillRect(width / 2, 0, width - width / 2, height / 2, Qt::green);
    painter.fillRect(0, height / 2, width / 2, height - height / 2, Qt::blue);
    painter.fillRect(width / 2, height / 2, width - width / 2, height - height / 2, Qt::yellow);
    return image;
}

QImage Surface(int width, int height, QRgb fill)
{
    QImage surface(width, height, QImage::Format_RGB32);
    surface.fill(fill);
    return surface;
}

bool Near(QRgb actual, QRgb expected, int tolerance)
{
    return std::abs(qRed(actual) - qRed(expected)) <= tolerance && std::abs(qGreen(actual) - qGreen(expected)) <= tolerance
        && std::abs(qBlue(actual) - qBlue(expected)) <= tolerance;
}

QByteArray Describe(QRgb colour)
{
    return QByteArray("RGB(") + QByteArray::number(qRed(colour)) + ", " + QByteArray::number(qGreen(colour)) + ", "
        + QByteArray::number(qBlue(colour)) + ")";
}

} // namespace

class TestImage : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void fitToBox_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QSize>("box");
        QTest::addColumn<QSize>("fitted");
        const QSize thumb(96, 96);
        QTest::newRow("landscape photo") << QSize(4000, 3000) << thumb << QSize(96, 72);
        QTest::newRow("portrait photo") << QSize(3000, 4000) << thumb << QSize(72, 96);
        QTest::newRow("small picture is enlarged") << QSize(50, 40) << thumb << QSize(96, 77);
        QTest::newRow("already fits in one dimension") << QSize(96, 60) << thumb << QSize(96, 60);
        QTest::newRow("same size as the box") << QSize(96, 96) << thumb << QSize(96, 96);
        QTest::newRow("one pixel") << QSize(1, 1) << thumb << QSize(96, 96);
        QTest::newRow("thin strip keeps a row") << QSize(1000, 10) << thumb << QSize(96, 1);
        QTest::newRow("thinner strip still one row") << QSize(10000, 10) << thumb << QSize(96, 1);
        QTest::newRow("tall strip keeps a column") << QSize(10, 10000) << thumb << QSize(1, 96);
        QTest::newRow("half goes up") << QSize(64, 1) << thumb << QSize(96, 2);
        QTest::newRow("below half goes down") << QSize(5, 2) << thumb << QSize(96, 38);
        QTest::newRow("height-bound in a wide box") << QSize(4000, 3000) << QSize(160, 90) << QSize(120, 90);
        QTest::newRow("width-bound in a tall box") << QSize(3000, 3000) << QSize(90, 160) << QSize(90, 90);
        QTest::newRow("same aspect as the box") << QSize(200, 100) << QSize(96, 48) << QSize(96, 48);
        QTest::newRow("zero width unchanged") << QSize(0, 30) << thumb << QSize(0, 30);
        QTest::newRow("zero height unchanged") << QSize(40, 0) << thumb << QSize(40, 0);
        // 65535 x 40000 does not fit in 32 bits; such a product must not flip the comparison.
        QTest::newRow("products beyond 32 bits") << QSize(65535, 65535) << QSize(40000, 30000) << QSize(30000, 30000);
    }
    void fitToBox()
    {
        QFETCH(QSize, picture);
        QFETCH(QSize, box);
        QFETCH(QSize, fitted);
        QSize size = picture;
        draw::FitToBox(size, box.width(), box.height());
        QCOMPARE(size, fitted);
    }

    void loadFromBuffer_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QRgb>("topLeft");
        QTest::addColumn<QRgb>("bottomRight");
        QTest::addColumn<int>("tolerance");

        QImage indexed(8, 6, QImage::Format_Indexed8);
        indexed.setColorTable({qRgb(200, 10, 30), qRgb(5, 120, 250)});
        indexed.fill(0);
        indexed.setPixel(7, 5, 1);
        QTest::newRow("8-bit BMP") << Encoded(indexed, "BMP") << qRgb(200, 10, 30) << qRgb(5, 120, 250) << 0;

        QImage grey(8, 6, QImage::Format_Grayscale8);
        grey.fill(qRgb(77, 77, 77));
        grey.setPixel(7, 5, qRgb(180, 180, 180));
        QTest::newRow("grey PNG") << Encoded(grey, "PNG") << qRgb(77, 77, 77) << qRgb(180, 180, 180) << 0;

        // Alpha is laid over black, as drawing into a fresh 24-bit surface does.
        QImage translucent(8, 6, QImage::Format_ARGB32);
        translucent.fill(qRgba(255, 0, 0, 128));
        translucent.setPixel(7, 5, qRgba(0, 0, 255, 0));
        QTest::newRow("PNG with alpha") << Encoded(translucent, "PNG") << qRgb(128, 0, 0) << qRgb(0, 0, 0) << 1;

        QImage photo = Quadrants(32, 32);
        QTest::newRow("JPEG") << Encoded(photo, "JPEG") << qRgb(255, 0, 0) << qRgb(255, 255, 0) << 12;
    }
    void loadFromBuffer()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QRgb, topLeft);
        QFETCH(QRgb, bottomRight);
        QFETCH(int, tolerance);
        QVERIFY(!bytes.isEmpty());

        CImg image;
        QVERIFY(image.LoadFromBuffer(bytes.constData(), static_cast<std::int32_t>(bytes.size())));
        QCOMPARE(image.Image().format(), draw::kNormalFormat);
        QCOMPARE(image.GetBPP(), 24);
        const QRgb first = image.Image().pixel(0, 0);
        const QRgb last = image.Image().pixel(image.GetWidth() - 1, image.GetHeight() - 1);
        QVERIFY2(Near(first, topLeft, tolerance), Describe(first).constData());
        QVERIFY2(Near(last, bottomRight, tolerance), Describe(last).constData());
    }

    void loadFromBufferRefusesNonPictures_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("startsEmpty");
        const QByteArray text = "This is a text file, not a picture.\n";
        const QByteArray cutPng = Encoded(Quadrants(16, 16), "PNG").left(20);
        QTest::newRow("text, empty object") << text << true;
        QTest::newRow("text, object holding a picture") << text << false;
        QTest::newRow("PNG cut inside its header") << cutPng << false;
        QTest::newRow("no bytes") << QByteArray() << false;
    }
    void loadFromBufferRefusesNonPictures()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, startsEmpty);
        CImg image;
        if (!startsEmpty)
            QVERIFY(image.LoadFromBuffer(Encoded(Quadrants(10, 8), "PNG")));
        const QImage before = image.Image();

        QVERIFY(!image.LoadFromBuffer(bytes));
        QCOMPARE(image.IsNull(), startsEmpty);
        QCOMPARE(image.Image(), before);
    }

    void loadResource()
    {
        CImg image;
        QVERIFY(image.LoadFromBuffer(Encoded(Quadrants(10, 8), "PNG")));
        const QImage before = image.Image();
        int asked = 0;
        const draw::ResourceLoader missing = [&](int id) {
            asked = id;
            return QImage();
        };
        QVERIFY(!image.LoadResource(136, missing));
        QCOMPARE(asked, 136);
        QCOMPARE(image.Image(), before);
        QVERIFY(!image.LoadResource(136, {}));

        const draw::ResourceLoader strip = [](int) { return Quadrants(20, 10, QImage::Format_ARGB32); };
        QVERIFY(image.LoadResource(135, strip));
        QCOMPARE(image.GetSize(), QSize(20, 10));
        QCOMPARE(image.Image().format(), draw::kNormalFormat);
        QCOMPARE(image.Image().pixel(15, 7), qRgb(255, 255, 0));
    }

    void convertToNormalForm_data()
    {
        QTest::addColumn<int>("format");
        QTest::newRow("indexed 8-bit") << int(QImage::Format_Indexed8);
        QTest::newRow("grey 8-bit") << int(QImage::Format_Grayscale8);
        QTest::newRow("16-bit") << int(QImage::Format_RGB16);
        QTest::newRow("32-bit") << int(QImage::Format_RGB32);
        QTest::newRow("32-bit with opaque alpha") << int(QImage::Format_ARGB32);
        QTest::newRow("24-bit in BGR order") << int(QImage::Format_BGR888);
    }
    void convertToNormalForm()
    {
        QFETCH(int, format);
        // Colours every layout above holds exactly: black, white and two greys.
        QImage source(4, 2, QImage::Format_RGB32);
        source.fill(qRgb(0, 0, 0));
        source.setPixel(1, 0, qRgb(255, 255, 255));
        source.setPixel(2, 1, qRgb(0x80, 0x80, 0x80));
        source = source.convertToFormat(static_cast<QImage::Format>(format));
        QVERIFY(!source.isNull());

        CImg image(source);
        QVERIFY(image.ConvertTo24Bit());
        QCOMPARE(image.GetBPP(), 24);
        QVERIFY(image.ConvertToDIB());
        QCOMPARE(image.Image().format(), draw::kNormalFormat);
        for (int y = 0; y < 2; ++y) {
            for (int x = 0; x < 4; ++x)
                QCOMPARE(image.Image().pixel(x, y), source.pixel(x, y));
        }
    }

    void conversionsOfAnEmptyObjectFail()
    {
        CImg image;
        QVERIFY(!image.ConvertTo24Bit());
        QVERIFY(!image.ConvertToDIB());
        QVERIFY(!image.ResizeTo(10, 10));
        QVERIFY(image.IsNull());
    }

    void resizeKeepsFlatColoursAndEdges()
    {
        QImage flat(37, 23, draw::kNormalFormat);
        flat.fill(qRgb(30, 140, 220));
        CImg image(flat);
        QVERIFY(image.ResizeTo(96, 60));
        QCOMPARE(image.GetSize(), QSize(96, 60));
        QCOMPARE(image.Image().format(), draw::kNormalFormat);
        // Borders would darken if the filter read black from outside the picture.
        for (const QPoint at : {QPoint(0, 0), QPoint(95, 59), QPoint(48, 30), QPoint(0, 59)})
            QCOMPARE(image.Image().pixel(at), qRgb(30, 140, 220));
    }

    void resizeAveragesWhenShrinking()
    {
        // A one-pixel checkerboard: sampling without a filter gives black or white.
        QImage board(64, 64, draw::kNormalFormat);
        for (int y = 0; y < 64; ++y) {
            for (int x = 0; x < 64; ++x)
                board.setPixel(x, y, (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
        }
        CImg image(board);
        QVERIFY(image.ResizeTo(10, 10));
        for (int y = 1; y < 9; ++y) {
            for (int x = 1; x < 9; ++x)
                QVERIFY2(Near(image.Image().pixel(x, y), qRgb(128, 128, 128), 8), Describe(image.Image().pixel(x, y)));
        }
    }

    void resizeIsCubicWhenEnlarging()
    {
        // A cubic kernel has negative lobes, so a step overshoots on both sides; linear
        // interpolation never leaves the range of its two neighbours.
        QImage step(8, 1, draw::kNormalFormat);
        for (int x = 0; x < 8; ++x)
            step.setPixel(x, 0, x < 4 ? qRgb(64, 64, 64) : qRgb(192, 192, 192));
        CImg image(step);
        QVERIFY(image.ResizeTo(64, 1));
        int lowest = 255;
        int highest = 0;
        for (int x = 0; x < 64; ++x) {
            lowest = std::min(lowest, qGreen(image.Image().pixel(x, 0)));
            highest = std::max(highest, qGreen(image.Image().pixel(x, 0)));
        }
        QVERIFY2(lowest < 64 && highest > 192, qPrintable(QStringLiteral("range %1..%2").arg(lowest).arg(highest)));
    }

    void failedResizeLeavesThePicture()
    {
        CImg image(Quadrants(10, 8, draw::kNormalFormat));
        const QImage before = image.Image();
        QVERIFY(!image.ResizeTo(0, 5));
        QVERIFY(!image.ResizeTo(5, -1));
        QCOMPARE(image.Image(), before);
    }

    void drawScaledFillsOnlyItsRectangle()
    {
        const CImg image(Quadrants(8, 8, draw::kNormalFormat));
        QImage surface = Surface(60, 50, qRgb(255, 255, 255));
        QPainter painter(&surface);
        const QRect target(10, 5, 40, 30);
        image.DrawScaled(painter, target);
        painter.end();

        for (int y = 0; y < surface.height(); ++y) {
            for (int x = 0; x < surface.width(); ++x) {
                if (!target.contains(x, y))
                    QCOMPARE(surface.pixel(x, y), qRgb(255, 255, 255));
            }
        }
        // The middle of each quadrant, away from the blended seams.
        QVERIFY(Near(surface.pixel(15, 9), qRgb(255, 0, 0), 2));
        QVERIFY(Near(surface.pixel(45, 9), qRgb(0, 255, 0), 2));
        QVERIFY(Near(surface.pixel(15, 30), qRgb(0, 0, 255), 2));
        QVERIFY(Near(surface.pixel(45, 30), qRgb(255, 255, 0), 2));
    }

    void drawPartTakesOnlyItsSource()
    {
        const CImg image(Quadrants(16, 16, draw::kNormalFormat));
        QImage surface = Surface(40, 40, qRgb(255, 255, 255));
        QPainter painter(&surface);
        image.DrawPart(QRect(4, 4, 30, 20), painter, QRect(8, 8, 8, 8)); // the yellow quadrant
        painter.end();
        // No colour of the neighbouring quadrants bleeds into the scaled part.
        for (int y = 4; y < 24; ++y) {
            for (int x = 4; x < 34; ++x)
                QVERIFY2(surface.pixel(x, y) == qRgb(255, 255, 0), qPrintable(QStringLiteral("at %1,%2").arg(x).arg(y)));
        }
        QCOMPARE(surface.pixel(3, 3), qRgb(255, 255, 255));
        QCOMPARE(surface.pixel(34, 24), qRgb(255, 255, 255));
    }

    void drawKeyedLeavesTheSurfaceUnderTheKey()
    {
        const QRgb background = qRgb(245, 250, 254);
        QImage picture(2, 2, draw::kNormalFormat);
        picture.setPixel(0, 0, draw::kColourKey);
        picture.setPixel(1, 0, qRgb(200, 0, 0));
        picture.setPixel(0, 1, qRgb(0, 150, 0));
        picture.setPixel(1, 1, draw::kColourKey);
        const CImg image(picture);

        QImage surface = Surface(8, 8, background);
        QPainter painter(&surface);
        image.DrawKeyed(painter, 1, 1, 4, 4); // stretched twice
        painter.end();

        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 8; ++x) {
                QRgb expected = background;
                if (x >= 1 && x < 5 && y >= 1 && y < 5) {
                    const QRgb source = picture.pixel((x - 1) / 2, (y - 1) / 2);
                    expected = source == draw::kColourKey ? background : source;
                }
                QVERIFY2(surface.pixel(x, y) == expected,
                         qPrintable(QStringLiteral("at %1,%2: ").arg(x).arg(y) + QString::fromLatin1(Describe(surface.pixel(x, y)))));
            }
        }
    }

    void cropImage()
    {
        const CImg source(Quadrants(20, 10, draw::kNormalFormat));

        const std::optional<CImg> inside = draw::CropImage(QRect(10, 5, 10, 5), source);
        QVERIFY(inside);
        QCOMPARE(inside->GetSize(), QSize(10, 5));
        QCOMPARE(inside->Image().format(), draw::kNormalFormat);
        QCOMPARE(inside->Image(), source.Image().copy(10, 5, 10, 5));

        // Whatever lies outside the source is black.
        const std::optional<CImg> overhanging = draw::CropImage(QRect(15, -2, 10, 4), source);
        QVERIFY(overhanging);
        QCOMPARE(overhanging->Image().pixel(0, 0), qRgb(0, 0, 0));
        QCOMPARE(overhanging->Image().pixel(0, 2), qRgb(0, 255, 0));
        QCOMPARE(overhanging->Image().pixel(4, 3), qRgb(0, 255, 0));
        QCOMPARE(overhanging->Image().pixel(5, 3), qRgb(0, 0, 0));

        QVERIFY(!draw::CropImage(QRect(0, 0, 0, 5), source));
        QVERIFY(!draw::CropImage(QRect(0, 0, 5, 5), CImg()));
    }
};

QTEST_MAIN(TestImage)
#include "tst_image.moc"
