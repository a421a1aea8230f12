// The compiled-in pictures: each id gives its picture at its size, the strips hold
// normal and pressed faces where the buttons cut them, and the tool strip's magenta key
// sits only where a keyed copy must leave the workspace showing.

#include "resources/images.h"

#include <QCursor>
#include <QIcon>
#include <QPixmap>
#include <QTest>

#include <cstdlib>

using platform::UiLanguage;

namespace {

constexpr QRgb kBackground = resources::kToolBackground;
constexpr QRgb kKey = resources::kColourKey;

QString At(int x, int y)
{
    return QStringLiteral("at (%1, %2)").arg(x).arg(y);
}

// The average difference per colour channel between two equally sized parts of an image.
double MeanDifference(const QImage& image, const QRect& a, const QRect& b)
{
    qint64 sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = image.pixel(a.x() + x, a.y() + y);
            const QRgb q = image.pixel(b.x() + x, b.y() + y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    }
    return static_cast<double>(sum) / (3.0 * a.width() * a.height());
}

} // namespace

class TestResourceImages : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void sizes_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("alpha");
        QTest::newRow("140 save strip, Japanese") << 140 << QSize(400, 48) << false;
        QTest::newRow("151 save strip, English") << 151 << QSize(320, 48) << false;
        QTest::newRow("134 delete strip, Japanese") << 134 << QSize(140, 36) << false;
        QTest::newRow("150 delete strip, English") << 150 << QSize(140, 36) << false;
        QTest::newRow("135 arrow strip") << 135 << QSize(40, 36) << false;
        QTest::newRow("136 tool strip") << 136 << QSize(119, 34) << false;
        QTest::newRow("130 banner") << 130 << QSize(380, 50) << false;
        QTest::newRow("131 header bar, active") << 131 << QSize(410, 28) << false;
        QTest::newRow("152 header bar, inactive") << 152 << QSize(410, 28) << false;
        QTest::newRow("220 corner") << 220 << QSize(38, 34) << false;
        QTest::newRow("11105 open hand") << 11105 << QSize(32, 32) << true;
    }
    void sizes()
    {
        QFETCH(int, id);
        QFETCH(QSize, size);
        QFETCH(bool, alpha);
        QVERIFY(!resources::LoadResourceData(id).isEmpty());
        const QImage image = resources::LoadResourceImage(id);
        QVERIFY2(!image.isNull(), "the picture does not decode");
        QCOMPARE(image.size(), size);
        QCOMPARE(image.hasAlphaChannel(), alpha);
    }

    void unknownIds_data()
    {
        QTest::addColumn<int>("id");
        QTest::newRow("zero") << 0;
        QTest::newRow("a string id") << 137;
        QTest::newRow("the icon's id") << resources::kIdrProgramIcon;
        QTest::newRow("far off") << 99999;
    }
    void unknownIds()
    {
        QFETCH(int, id);
        QVERIFY(resources::LoadResourceData(id).isEmpty());
        QVERIFY(resources::LoadResourceImage(id).isNull());
    }

    void stripsByLanguage()
    {
        QCOMPARE(resources::SaveStripId(UiLanguage::Japanese), 140);
        QCOMPARE(resources::SaveStripId(UiLanguage::English), 151);
        QCOMPARE(resources::DeleteStripId(UiLanguage::Japanese), 134);
        QCOMPARE(resources::DeleteStripId(UiLanguage::English), 150);
    }

    // Two-button strips are copied plainly: no key colour anywhere, faces that meet the
    // workspace at their corners, and a pressed face that looks pressed.
    void twoButtonStrips_data()
    {
        QTest::addColumn<int>("id");
        QTest::newRow("140") << 140;
        QTest::newRow("151") << 151;
        QTest::newRow("134") << 134;
        QTest::newRow("150") << 150;
        QTest::newRow("135") << 135;
    }
    void twoButtonStrips()
    {
        QFETCH(int, id);
        const QImage strip = resources::LoadResourceImage(id);
        QVERIFY(!strip.isNull());
        const int cw = strip.width() / 2;
        const int ch = strip.height() / 2;
        for (int y = 0; y < strip.height(); ++y)
            for (int x = 0; x < strip.width(); ++x)
                QVERIFY2(strip.pixel(x, y) != kKey, qPrintable(At(x, y)));
        for (int column = 0; column < 2; ++column) {
            const QRect normal(column * cw, 0, cw, ch);
            const QRect pressed(column * cw, ch, cw, ch);
            for (const QRect& cell : {normal, pressed}) {
                QCOMPARE(strip.pixel(cell.topLeft()), kBackground);
                QCOMPARE(strip.pixel(cell.topRight()), kBackground);
                QCOMPARE(strip.pixel(cell.bottomLeft()), kBackground);
                QCOMPARE(strip.pixel(cell.bottomRight()), kBackground);
            }
            const double change = MeanDifference(strip, normal, pressed);
            QVERIFY2(change > 15, qPrintable(QStringLiteral("column %1 pressed differs by only %2").arg(column).arg(change)));
        }
        // The two buttons carry different captions or arrows.
        QVERIFY(MeanDifference(strip, QRect(0, 0, cw, ch), QRect(cw, 0, cw, ch)) > 2);
    }

    // Each tool cell: the button in the upper-left 16 x 16 pixels with the key around it;
    // the pressed face is the normal one moved one pixel down and to the right.
    void toolStrip_data()
    {
        QTest::addColumn<int>("column");
        for (int column = 0; column < 7; ++column)
            QTest::addRow("column %d", column) << column;
    }
    void toolStrip()
    {
        QFETCH(int, column);
        const QImage strip = resources::LoadResourceImage(resources::kIdbToolStrip);
        QVERIFY(!strip.isNull());
        const int n = resources::kToolCellSize;
        const int left = column * n;
        auto normal = [&](int x, int y) { return strip.pixel(left + x, y); };
        auto pressed = [&](int x, int y) { return strip.pixel(left + x, n + y); };

        for (int i = 0; i < n; ++i) {
            QVERIFY2(normal(n - 1, i) == kKey, qPrintable(At(n - 1, i)));
            QVERIFY2(normal(i, n - 1) == kKey, qPrintable(At(i, n - 1)));
            QVERIFY2(pressed(0, i) == kKey, qPrintable(At(0, i)));
            QVERIFY2(pressed(i, 0) == kKey, qPrintable(At(i, 0)));
        }
        // Rounded corners are keyed; the button's inside has no key at all.
        QCOMPARE(normal(0, 0), kKey);
        QCOMPARE(normal(15, 0), kKey);
        QCOMPARE(normal(0, 15), kKey);
        QCOMPARE(normal(15, 15), kKey);
        for (int y = 1; y < 15; ++y)
            for (int x = 1; x < 15; ++x)
                QVERIFY2(normal(x, y) != kKey, qPrintable(At(x, y)));
        for (int y = 0; y < n - 1; ++y)
            for (int x = 0; x < n - 1; ++x)
                QVERIFY2(pressed(x + 1, y + 1) == normal(x, y), qPrintable(At(x, y)));
    }

    // Bars and the corner picture are drawn at their own size next to the workspace
    // background, so they must meet it where the window goes on.
    void picturesMeetTheWorkspace()
    {
        for (int id : {resources::kIdbHeaderActive, resources::kIdbHeaderInactive}) {
            const QImage bar = resources::LoadResourceImage(id);
            QVERIFY(!bar.isNull());
            for (int y = 0; y < bar.height(); ++y)
                QVERIFY2(bar.pixel(bar.width() - 1, y) == kBackground, qPrintable(QString::number(id) + At(bar.width() - 1, y)));
        }
        const QImage active = resources::LoadResourceImage(resources::kIdbHeaderActive);
        const QImage inactive = resources::LoadResourceImage(resources::kIdbHeaderInactive);
        // Blue while active, grey while not.
        const QRgb blue = active.pixel(100, 14);
        const QRgb grey = inactive.pixel(100, 14);
        QVERIFY2(qBlue(blue) > qRed(blue) + 40, "the active bar is not blue");
        QVERIFY2(std::abs(qBlue(grey) - qRed(grey)) < 16, "the inactive bar is not grey");

        const QImage corner = resources::LoadResourceImage(resources::kIdbCorner);
        QCOMPARE(corner.pixel(corner.width() - 1, 0), kBackground);
    }

    void cursor()
    {
        const QImage hand = resources::LoadResourceImage(resources::kIdcOpenHand);
        QVERIFY(!hand.isNull());
        QCOMPARE(qAlpha(hand.pixel(0, 0)), 0);
        QCOMPARE(hand.pixel(resources::kOpenHandHotSpotX, resources::kOpenHandHotSpotY), qRgb(255, 255, 255));
        const QCursor cursor = resources::OpenHandCursor();
        QCOMPARE(cursor.hotSpot(), QPoint(14, 17));
        QCOMPARE(cursor.pixmap().size(), QSize(32, 32));
    }

    void icons()
    {
        for (const QIcon& icon : {resources::ProgramIcon(), resources::LauncherIcon()}) {
            for (int size : {16, 24, 32, 48, 64, 128, 256}) {
                QVERIFY2(icon.availableSizes().contains(QSize(size, size)), qPrintable(QString::number(size)));
                const QPixmap pixmap = icon.pixmap(QSize(size, size));
                QCOMPARE(pixmap.size(), QSize(size, size));
            }
        }
        QVERIFY(resources::ProgramIcon().pixmap(48).toImage() != resources::LauncherIcon().pixmap(48).toImage());
    }
};

QTEST_MAIN(TestResourceImages)
#include "tst_resource_images.moc"
