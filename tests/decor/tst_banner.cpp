// The start-up banner: where its text goes, what it paints, when it repaints, its cursor,
// and dragging it to move the main window.
#include "decor/logo_wnd.h"
#include "resources/images.h"
#include "resources/strings.h"
#include "snapshot.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

#include <memory>

using decor::CLogoWnd;
using platform::UiLanguage;

Q_DECLARE_METATYPE(platform::UiLanguage)

namespace {

// Version 1.1.1.4: major and minor in the high half, build and revision in the low half.
constexpr resources::FileVersion kVersion{0x00010001u, 0x00010004u};

QString LanguageName(UiLanguage language)
{
    return language == UiLanguage::Japanese ? QStringLiteral("Japanese") : QStringLiteral("English");
}

// Counts the paints a widget gets.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// Delivers a pointer event to the banner as the window system would, at a position on it.
void SendMouse(CLogoWnd& banner, QEvent::Type type, QPoint local, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(local), QPointF(banner.mapToGlobal(local)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(&banner, &event);
}

// The bounding box of the pixels brighter than mid-grey: the white text on a black picture.
QRect WhiteInk(const QImage& picture)
{
    QRect ink;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (qGray(picture.pixel(x, y)) > 128)
                ink |= QRect(x, y, 1, 1);
        }
    }
    return ink;
}

// A main window on screen with its banner over it, as the drag tests need them.
struct OwnerWithBanner {
    QWidget owner;
    CLogoWnd banner{UiLanguage::English, &owner};
    QPoint start; // where the owner stood before any drag

    bool Show()
    {
        owner.setGeometry(200, 150, 400, 300);
        owner.show();
        if (!QTest::qWaitForWindowExposed(&owner))
            return false;
        start = owner.pos();
        banner.move(500, 500);
        banner.show();
        return QTest::qWaitForWindowExposed(&banner);
    }
};

std::unique_ptr<draw::CImg> BlackPicture()
{
    QImage black(decor::kBannerSize, draw::kNormalFormat);
    black.fill(Qt::black);
    return std::make_unique<draw::CImg>(black);
}

} // namespace

class TestBanner : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void textOrigin_data();
    void textOrigin();
    void ownerDragFollowsThePointer();
    void isAFramelessToolWindowWithTheOpenHand();
    void textSitsInTheBottomRightCorner_data();
    void textSitsInTheBottomRightCorner();
    void pictureFillsTheBanner();
    void sameTextTwiceDoesNotRepaint();
    void dragMovesTheOwner();
    void dragThroughTheWindowSystem();
    void dragEndsWhenTheButtonIsFoundReleased();
    void otherButtonsDoNotDrag();
};

void TestBanner::textOrigin_data()
{
    QTest::addColumn<QSize>("client");
    QTest::addColumn<QSize>("extent");
    QTest::addColumn<QPoint>("origin");

    QTest::newRow("banner") << decor::kBannerSize << QSize(190, 14) << QPoint(186, 32);
    QTest::newRow("no text") << decor::kBannerSize << QSize(0, 0) << QPoint(376, 46);
    QTest::newRow("text wider than the banner") << decor::kBannerSize << QSize(400, 14) << QPoint(-24, 32);
}

void TestBanner::textOrigin()
{
    QFETCH(QSize, client);
    QFETCH(QSize, extent);
    QFETCH(QPoint, origin);

    QCOMPARE(decor::BannerTextOrigin(client, extent), origin);
}

void TestBanner::ownerDragFollowsThePointer()
{
    decor::OwnerDrag drag;
    QCOMPARE(drag.Follow(QPoint(50, 50), QPoint(468, 156)), QPoint(468, 156)); // not dragging

    drag.Begin(QPoint(100, 100));
    QVERIFY(drag.IsActive());
    QCOMPARE(drag.Follow(QPoint(110, 95), QPoint(468, 156)), QPoint(478, 151));
    // Each movement counts from the position before, not from the press.
    QCOMPARE(drag.Follow(QPoint(110, 95), QPoint(478, 151)), QPoint(478, 151));
    QCOMPARE(drag.Follow(QPoint(90, 120), QPoint(478, 151)), QPoint(458, 176));
    // The window's own position is the base: had something else moved it, that stays.
    QCOMPARE(drag.Follow(QPoint(91, 120), QPoint(0, 0)), QPoint(1, 0));

    drag.End();
    QVERIFY(!drag.IsActive());
    QCOMPARE(drag.Follow(QPoint(300, 300), QPoint(1, 0)), QPoint(1, 0));
}

void TestBanner::isAFramelessToolWindowWithTheOpenHand()
{
    QWidget owner;
    CLogoWnd banner(UiLanguage::English, &owner);

    QVERIFY(banner.isWindow());
    QVERIFY(banner.isHidden());
    QCOMPARE(banner.windowType(), Qt::Tool);
    QVERIFY(banner.windowFlags().testFlag(Qt::FramelessWindowHint));
    QCOMPARE(banner.parentWidget(), &owner);
    QVERIFY(banner.testAttribute(Qt::WA_ShowWithoutActivating));
    QCOMPARE(banner.size(), QSize(380, 50));
    QCOMPARE(banner.minimumSize(), banner.maximumSize());
    QVERIFY(banner.GetText().isEmpty());
    QVERIFY(!banner.GetImage());

    const QCursor cursor = banner.cursor();
    QCOMPARE(cursor.shape(), Qt::BitmapCursor);
    QCOMPARE(cursor.hotSpot(), QPoint(resources::kOpenHandHotSpotX, resources::kOpenHandHotSpotY));
    QCOMPARE(cursor.pixmap().size(), QSize(32, 32));
}

void TestBanner::textSitsInTheBottomRightCorner_data()
{
    QTest::addColumn<UiLanguage>("language");
    QTest::addColumn<QString>("text");

    QTest::newRow("Japanese") << UiLanguage::Japanese << QStringLiteral(u"ターンワイズ Version 1.1.1.4");
    QTest::newRow("English") << UiLanguage::English << QStringLiteral(u"Brantmoor Turnwise Version 1.1.1.4");
}

void TestBanner::textSitsInTheBottomRightCorner()
{
    QFETCH(UiLanguage, language);
    QFETCH(QString, text);

    CLogoWnd banner(language, nullptr);
    banner.SetText(resources::BannerText(resources::AppTitle(language), kVersion));
    QCOMPARE(banner.GetText(), text);

    // The one-line text box ends 4 pixels from the right and the bottom edge.
    const QRect box = banner.TextRect();
    QCOMPARE(box.x() + box.width(), 380 - 4);
    QCOMPARE(box.y() + box.height(), 50 - 4);
    QVERIFY(box.width() > 0 && box.x() > 0);

    // Drawn white over the picture, inside that box, ending close to its right edge (the
    // last glyph's own side bearing is all that is left).
    banner.SetImage(BlackPicture());
    const QImage picture = banner.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(picture.size(), decor::kBannerSize);
    const QRect ink = WhiteInk(picture);
    QVERIFY2(ink.isValid(), "no text drawn");
    QVERIFY2(box.contains(ink), qPrintable(QStringLiteral("ink %1,%2 %3x%4 outside the box %5,%6 %7x%8")
                                               .arg(ink.x()).arg(ink.y()).arg(ink.width()).arg(ink.height())
                                               .arg(box.x()).arg(box.y()).arg(box.width()).arg(box.height())));
    QVERIFY2(box.right() - ink.right() <= 3, qPrintable(QStringLiteral("ink ends at %1").arg(ink.right())));
    QVERIFY2(ink.bottom() >= box.bottom() - 5, qPrintable(QStringLiteral("ink ends at %1").arg(ink.bottom())));

    // With the real picture, for a person to look at.
    auto real = std::make_unique<draw::CImg>();
    QVERIFY(real->LoadResource(resources::kIdbBanner, resources::LoadResourceImage));
    banner.SetImage(std::move(real));
    SaveSnapshot(banner.grab().toImage(), QStringLiteral("banner_") + LanguageName(language));
}

void TestBanner::pictureFillsTheBanner()
{
    CLogoWnd banner(UiLanguage::English, nullptr);
    auto picture = std::make_unique<draw::CImg>();
    QVERIFY(picture->LoadResource(resources::kIdbBanner, resources::LoadResourceImage));
    QCOMPARE(picture->GetSize(), decor::kBannerSize);
    const QImage expected = picture->Image().convertToFormat(QImage::Format_RGB32);
    banner.SetImage(std::move(picture));

    // A picture of the banner's size is copied 1:1.
    const QImage shown = banner.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shown, expected);
}

void TestBanner::sameTextTwiceDoesNotRepaint()
{
    CLogoWnd banner(UiLanguage::English, nullptr);
    banner.SetImage(BlackPicture());
    banner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&banner));
    QCoreApplication::processEvents();

    PaintCounter counter(&banner);
    banner.SetText(QStringLiteral("Brantmoor Turnwise Version 1.1.1.4"));
    QTRY_COMPARE(counter.paints, 1);

    banner.SetText(QStringLiteral("Brantmoor Turnwise Version 1.1.1.4"));
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    QCOMPARE(counter.paints, 1);

    // Compared exactly: a change of letter case is a new text.
    banner.SetText(QStringLiteral("BRANTMOOR TURNWISE Version 1.1.1.4"));
    QTRY_COMPARE(counter.paints, 2);
    QCOMPARE(banner.GetText(), QStringLiteral("BRANTMOOR TURNWISE Version 1.1.1.4"));
}

void TestBanner::dragMovesTheOwner()
{
    OwnerWithBanner shown;
    QVERIFY(shown.Show());
    QWidget& owner = shown.owner;
    CLogoWnd& banner = shown.banner;
    const QPoint start = shown.start;
    const QPoint bannerAt = banner.pos();

    SendMouse(banner, QEvent::MouseButtonPress, QPoint(10, 10), Qt::LeftButton, Qt::LeftButton);
    QVERIFY(banner.IsDragging());
    SendMouse(banner, QEvent::MouseMove, QPoint(25, 20), Qt::NoButton, Qt::LeftButton);
    SendMouse(banner, QEvent::MouseMove, QPoint(40, 30), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(owner.pos(), start + QPoint(30, 20));
    // The pointer leaving the banner still drags.
    SendMouse(banner, QEvent::MouseMove, QPoint(-60, 430), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(owner.pos(), start + QPoint(-70, 420));
    SendMouse(banner, QEvent::MouseButtonRelease, QPoint(-60, 430), Qt::LeftButton, Qt::NoButton);
    QVERIFY(!banner.IsDragging());

    // Moves after the release move nothing; the banner itself never moved; the main window
    // has the focus.
    SendMouse(banner, QEvent::MouseMove, QPoint(100, 10), Qt::NoButton, Qt::NoButton);
    QCOMPARE(owner.pos(), start + QPoint(-70, 420));
    QCOMPARE(banner.pos(), bannerAt);
    QTRY_COMPARE(QApplication::activeWindow(), &owner);
}

void TestBanner::dragThroughTheWindowSystem()
{
    OwnerWithBanner shown;
    QVERIFY(shown.Show());
    QWidget& owner = shown.owner;
    CLogoWnd& banner = shown.banner;
    const QPoint start = shown.start;

    // Pointer events as the platform delivers them, the button held between press and release.
    QTest::mousePress(&banner, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(&banner, QPoint(30, 25));
    QTRY_COMPARE(owner.pos(), start + QPoint(20, 15));
    QTest::mouseRelease(&banner, Qt::LeftButton, {}, QPoint(30, 25));
    QTRY_VERIFY(!banner.IsDragging());
    QTest::mouseMove(&banner, QPoint(60, 25));
    QCoreApplication::processEvents();
    QCOMPARE(owner.pos(), start + QPoint(20, 15));
}

void TestBanner::dragEndsWhenTheButtonIsFoundReleased()
{
    OwnerWithBanner shown;
    QVERIFY(shown.Show());
    QWidget& owner = shown.owner;
    CLogoWnd& banner = shown.banner;
    const QPoint start = shown.start;

    SendMouse(banner, QEvent::MouseButtonPress, QPoint(10, 10), Qt::LeftButton, Qt::LeftButton);
    SendMouse(banner, QEvent::MouseMove, QPoint(20, 10), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(owner.pos(), start + QPoint(10, 0));
    // The release went elsewhere; the next move shows the button up.
    SendMouse(banner, QEvent::MouseMove, QPoint(50, 10), Qt::NoButton, Qt::NoButton);
    QVERIFY(!banner.IsDragging());
    QCOMPARE(owner.pos(), start + QPoint(10, 0));
    QTRY_COMPARE(QApplication::activeWindow(), &owner);

    // A later move with the button held, without a new press, is no drag.
    SendMouse(banner, QEvent::MouseMove, QPoint(80, 10), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(owner.pos(), start + QPoint(10, 0));
}

void TestBanner::otherButtonsDoNotDrag()
{
    OwnerWithBanner shown;
    QVERIFY(shown.Show());
    QWidget& owner = shown.owner;
    CLogoWnd& banner = shown.banner;
    const QPoint start = shown.start;

    SendMouse(banner, QEvent::MouseButtonPress, QPoint(10, 10), Qt::RightButton, Qt::RightButton);
    QVERIFY(!banner.IsDragging());
    SendMouse(banner, QEvent::MouseMove, QPoint(40, 10), Qt::NoButton, Qt::RightButton);
    QCOMPARE(owner.pos(), start);
}

QTEST_MAIN(TestBanner)
#include "tst_banner.moc"
