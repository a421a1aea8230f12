// The borderless window's geometry: start position, grab zones, resize arithmetic and the
// banner's opacity steps.

#include "shell/frame_geometry.h"

#include <QTest>

using shell::BorderZone;

Q_DECLARE_METATYPE(BorderZone)

class TestFrameGeometry : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void centring_data()
    {
        QTest::addColumn<QRect>("workArea");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("topLeft");
        QTest::newRow("frame, 1920 x 1040") << QRect(0, 0, 1920, 1040) << QSize(984, 728) << QPoint(468, 156);
        QTest::newRow("banner, 1920 x 1040") << QRect(0, 0, 1920, 1040) << QSize(380, 50) << QPoint(770, 495);
        QTest::newRow("work area too small: not clamped") << QRect(0, 0, 800, 570) << QSize(984, 728) << QPoint(-92, -79);
        QTest::newRow("work area not at the origin") << QRect(100, 30, 1000, 800) << QSize(984, 728) << QPoint(108, 66);
    }
    void centring()
    {
        QFETCH(QRect, workArea);
        QFETCH(QSize, size);
        const QRect placed = shell::CenterInWorkArea(workArea, size);
        QTEST(placed.topLeft(), "topLeft");
        QCOMPARE(placed.size(), size);
    }

    void zones_data()
    {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<BorderZone>("zone");
        // A client rectangle of 984 x 728 at the origin.
        QTest::newRow("3, 3: top-left corner") << QPoint(3, 3) << BorderZone::TopLeft;
        QTest::newRow("100, 3: top edge") << QPoint(100, 3) << BorderZone::Top;
        QTest::newRow("100, 12: moves the window") << QPoint(100, 12) << BorderZone::None;
        QTest::newRow("15, 15: still the corner") << QPoint(15, 15) << BorderZone::TopLeft;
        QTest::newRow("16, 7: top edge past the corner") << QPoint(16, 7) << BorderZone::Top;
        QTest::newRow("983, 0: top-right corner") << QPoint(983, 0) << BorderZone::TopRight;
        QTest::newRow("0, 727: bottom-left corner") << QPoint(0, 727) << BorderZone::BottomLeft;
        QTest::newRow("983, 727: bottom-right corner") << QPoint(983, 727) << BorderZone::BottomRight;
        QTest::newRow("7, 300: left edge") << QPoint(7, 300) << BorderZone::Left;
        QTest::newRow("8, 300: inside") << QPoint(8, 300) << BorderZone::None;
        QTest::newRow("976, 300: right edge") << QPoint(976, 300) << BorderZone::Right;
        QTest::newRow("975, 300: inside") << QPoint(975, 300) << BorderZone::None;
        QTest::newRow("500, 720: bottom edge") << QPoint(500, 720) << BorderZone::Bottom;
    }
    void zones()
    {
        QFETCH(QPoint, point);
        QTEST(shell::HitTestBorder(QRect(0, 0, 984, 728), point), "zone");
    }

    void emptyClientHasNoZones()
    {
        QCOMPARE(shell::HitTestBorder(QRect(), QPoint(0, 0)), BorderZone::None);
    }

    void resizing_data()
    {
        QTest::addColumn<BorderZone>("zone");
        QTest::addColumn<QPoint>("delta");
        QTest::addColumn<QRect>("result");
        QTest::newRow("bottom-right outwards") << BorderZone::BottomRight << QPoint(30, 20) << QRect(100, 50, 1014, 748);
        QTest::newRow("bottom-right inwards stops at 800 x 600") << BorderZone::BottomRight << QPoint(-500, -500)
                                                                   << QRect(100, 50, 800, 600);
        QTest::newRow("left edge right: stops at 800, right edge stays") << BorderZone::Left << QPoint(400, 0)
                                                                          << QRect(284, 50, 800, 728);
        QTest::newRow("left edge outwards") << BorderZone::Left << QPoint(-20, 9) << QRect(80, 50, 1004, 728);
        QTest::newRow("top-left both ways") << BorderZone::TopLeft << QPoint(10, -10) << QRect(110, 40, 974, 738);
        QTest::newRow("top edge down stops at 600") << BorderZone::Top << QPoint(0, 500) << QRect(100, 178, 984, 600);
        QTest::newRow("top-right") << BorderZone::TopRight << QPoint(5, 5) << QRect(100, 55, 989, 723);
        QTest::newRow("bottom-left") << BorderZone::BottomLeft << QPoint(-5, -5) << QRect(95, 50, 989, 723);
        QTest::newRow("right edge ignores vertical motion") << BorderZone::Right << QPoint(7, 99) << QRect(100, 50, 991, 728);
        QTest::newRow("bottom edge ignores horizontal motion") << BorderZone::Bottom << QPoint(99, 7) << QRect(100, 50, 984, 735);
    }
    void resizing()
    {
        QFETCH(BorderZone, zone);
        QFETCH(QPoint, delta);
        QTEST(shell::ResizeFrameRect(QRect(100, 50, 984, 728), zone, delta), "result");
    }

    void fadeSteps()
    {
        QCOMPARE(shell::FadeInSteps(), std::vector<int>({0, 5, 10, 15, 20, 25, 30, 35, 40, 45, 50, 55, 60, 65, 70,
                                                         75, 80, 85, 90, 95, 100}));
        QCOMPARE(shell::FadeOutSteps(), std::vector<int>({100, 98, 95, 93, 90, 88, 85, 83, 80, 78, 75, 73, 70, 68,
                                                          65, 63, 60, 58, 55, 53, 50}));
        QCOMPARE(shell::OpacityAlpha(50), 127);
        QCOMPARE(shell::OpacityAlpha(5), 12);
        QCOMPARE(shell::OpacityAlpha(0), 0);
        QCOMPARE(shell::OpacityAlpha(100), 255);
        QCOMPARE(shell::OpacityAlpha(140), 255);
    }
};

QTEST_APPLESS_MAIN(TestFrameGeometry)
#include "tst_frame_geometry.moc"
