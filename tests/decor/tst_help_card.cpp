// The help card: its rounded shape, how its text is broken and centred in both languages,
// what it paints, and that neither showing nor clicking it takes the keyboard focus.
#include "decor/help_wnd.h"
#include "decor/rounded_region.h"
#include "decor/text_block.h"
#include "draw/ui_font.h"
#include "resources/strings.h"
#include "snapshot.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QLineEdit>
#include <QTest>

#include <memory>

using decor::CHelpWnd;
using platform::UiLanguage;

Q_DECLARE_METATYPE(platform::UiLanguage)

namespace {

// The card as the workspace sizes it.
const QSize kCardSize(150, 80);
// Text may use the card less its margins: 134 pixels across.
constexpr int kTextWidth = 134;

QString LanguageName(UiLanguage language)
{
    return language == UiLanguage::Japanese ? QStringLiteral("Japanese") : QStringLiteral("English");
}

// The face the UI font resolves to must be the stand-in with the expected metrics, or the
// line breaks below say nothing.
bool HasUiFace(UiLanguage language)
{
    const QString family = QFontInfo(draw::UiFont(language, decor::kHelpCardFontHeight)).family();
    return family == (language == UiLanguage::Japanese ? QStringLiteral("IPAGothic") : QStringLiteral("Liberation Sans"));
}

qint64 Area(const QRegion& region)
{
    qint64 area = 0;
    for (const QRect& part : region)
        area += qint64(part.width()) * part.height();
    return area;
}

// Stands in for the main window: a line edit that holds the keyboard focus.
struct MainWindow {
    QWidget window;
    QLineEdit* edit = new QLineEdit(&window);
};

} // namespace

class TestHelpCard : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void roundedRegion_data();
    void roundedRegion();
    void centredTextRect_data();
    void centredTextRect();
    void textBreaksAndFits_data();
    void textBreaksAndFits();
    void longWordIsShortenedInItsMiddle();
    void cardIsAFramelessToolWindowOfItsOwner();
    void maskFollowsEverySize();
    void paintsTheTextCentredOnWhite_data();
    void paintsTheTextCentredOnWhite();
    void neverTakesTheFocus();
    void unknownStringLeavesTheCardBlank();
};

void TestHelpCard::roundedRegion_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QSize>("ellipse");
    QTest::addColumn<QList<QPoint>>("outside");
    QTest::addColumn<QList<QPoint>>("inside");
    QTest::addColumn<qint64>("area");

    // A corner ellipse of 4 x 4 takes the one corner pixel of each corner.
    QTest::newRow("card") << kCardSize << QSize(4, 4)
                          << QList<QPoint>{{0, 0}, {149, 0}, {0, 79}, {149, 79}}
                          << QList<QPoint>{{1, 0}, {0, 1}, {148, 0}, {149, 1}, {1, 79}, {149, 78}, {75, 40}}
                          << qint64(150 * 80 - 4);
    // A larger corner cuts a staircase.
    QTest::newRow("10 x 10 corners") << QSize(40, 30) << QSize(10, 10)
                                     << QList<QPoint>{{0, 0}, {1, 0}, {2, 0}, {0, 1}, {0, 2}, {39, 29}, {37, 29}}
                                     << QList<QPoint>{{1, 1}, {3, 0}, {0, 3}, {36, 0}, {38, 28}, {20, 15}}
                                     << qint64(-1);
    QTest::newRow("no rounding") << kCardSize << QSize(0, 0) << QList<QPoint>{{150, 0}}
                                 << QList<QPoint>{{0, 0}, {149, 79}} << qint64(150 * 80);
    QTest::newRow("empty window") << QSize(0, 0) << QSize(4, 4) << QList<QPoint>{{0, 0}} << QList<QPoint>{}
                                  << qint64(0);
}

void TestHelpCard::roundedRegion()
{
    QFETCH(QSize, size);
    QFETCH(QSize, ellipse);
    QFETCH(QList<QPoint>, outside);
    QFETCH(QList<QPoint>, inside);
    QFETCH(qint64, area);

    const QRegion region = decor::RoundedRectRegion(size, ellipse);
    for (const QPoint& point : outside)
        QVERIFY2(!region.contains(point), qPrintable(QStringLiteral("%1,%2 is in the shape").arg(point.x()).arg(point.y())));
    for (const QPoint& point : inside)
        QVERIFY2(region.contains(point), qPrintable(QStringLiteral("%1,%2 is cut off").arg(point.x()).arg(point.y())));
    if (area >= 0)
        QCOMPARE(Area(region), area);
    if (!size.isEmpty())
        QCOMPARE(region.boundingRect(), QRect(QPoint(0, 0), size));
}

void TestHelpCard::centredTextRect_data()
{
    QTest::addColumn<QSize>("block");
    QTest::addColumn<QRect>("expected");

    QTest::newRow("even differences") << QSize(132, 40) << QRect(9, 20, 132, 40);
    // (150 - 131) / 2 = 9 and (150 + 131) / 2 = 140: the rectangle keeps the block's width.
    QTest::newRow("odd width") << QSize(131, 14) << QRect(9, 33, 131, 14);
    // (80 - 13) / 2 = 33 and (80 + 13) / 2 = 46.
    QTest::newRow("odd height") << QSize(120, 13) << QRect(15, 33, 120, 13);
    // Negative halves truncate toward zero: (150 - 161) / 2 = -5, (150 + 161) / 2 = 155.
    QTest::newRow("wider than the card") << QSize(161, 14) << QRect(-5, 33, 160, 14);
}

void TestHelpCard::centredTextRect()
{
    QFETCH(QSize, block);
    QFETCH(QRect, expected);

    QCOMPARE(decor::CentredTextRect(kCardSize, block), expected);
}

void TestHelpCard::textBreaksAndFits_data()
{
    QTest::addColumn<UiLanguage>("language");
    QTest::addColumn<QString>("lineEndingAtTheLineFeed");
    QTest::addColumn<QString>("lineAfterTheLineFeed");
    QTest::addColumn<int>("minimumLines");

    // The first Japanese sentence is wider than the card: it wraps, but its end and the
    // line feed end a line whatever the width.
    QTest::newRow("Japanese") << UiLanguage::Japanese << QStringLiteral(u"ドロップで")
                              << QStringLiteral(u"追加してください。") << 3;
    QTest::newRow("English") << UiLanguage::English << QString() << QString() << 1;
}

void TestHelpCard::textBreaksAndFits()
{
    QFETCH(UiLanguage, language);
    QFETCH(QString, lineEndingAtTheLineFeed);
    QFETCH(QString, lineAfterTheLineFeed);
    QFETCH(int, minimumLines);

    if (!HasUiFace(language))
        QSKIP("the UI font's stand-in face is not installed (scripts/bootstrap installs it)");

    CHelpWnd card(resources::TextId(resources::kHelpPanelText, language), language, nullptr);
    card.resize(kCardSize);
    const decor::HelpCardText text = card.TextLayout();
    const QStringList& lines = text.block.lines;
    QVERIFY2(lines.size() >= minimumLines, qPrintable(lines.join(u'|')));

    // Nothing is lost or added but the line feed, and no line is wider than the card allows.
    QString withoutLineFeeds = card.GetText();
    withoutLineFeeds.remove(u'\n');
    QCOMPARE(lines.join(QString()).remove(u' '), withoutLineFeeds.remove(u' '));
    const QFontMetricsF metrics(card.TextFont());
    for (const QString& line : lines)
        QVERIFY2(metrics.horizontalAdvance(line) <= kTextWidth, qPrintable(line));

    if (lineEndingAtTheLineFeed.isEmpty()) {
        QCOMPARE(lines, QStringList{card.GetText()}); // the English text fits on one line
    } else {
        qsizetype ending = 0;
        while (ending < lines.size() && !lines.at(ending).endsWith(lineEndingAtTheLineFeed))
            ++ending;
        QVERIFY2(ending < lines.size(), qPrintable(lines.join(u'|')));
        QCOMPARE(lines.value(ending + 1), lineAfterTheLineFeed);
    }

    // Lines break as late as they can: the first character of the next line would not
    // have fitted, unless a line feed ended the line.
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        if (!lineEndingAtTheLineFeed.isEmpty() && lines.at(i).endsWith(lineEndingAtTheLineFeed))
            continue;
        const QString longer = lines.at(i) + lines.at(i + 1).left(1);
        QVERIFY2(metrics.horizontalAdvance(longer) > kTextWidth, qPrintable(longer));
    }

    // The block is as wide as its widest line and as tall as its lines, centred on the card.
    QCOMPARE(text.block.size.height(), text.block.lineHeight * int(lines.size()));
    QVERIFY(text.block.size.width() <= kTextWidth);
    QCOMPARE(text.rect, decor::CentredTextRect(kCardSize, text.block.size));
}

void TestHelpCard::longWordIsShortenedInItsMiddle()
{
    const QFont font = draw::UiFont(UiLanguage::English, decor::kHelpCardFontHeight);
    // Nothing in the name allows a break (lines may break after slashes and hyphens).
    const QString path = QStringLiteral("IMG_0001_ABCDEFGHIJKLMNOPQRSTUVWXYZ_0123456789.JPG");
    const decor::TextBlock block = decor::LayOutTextBlock(QStringLiteral("in ") + path, font, kTextWidth);

    QCOMPARE(block.lines.size(), 2);
    QCOMPARE(block.lines.at(0), QStringLiteral("in"));
    const QString shortened = block.lines.at(1);
    QVERIFY2(shortened.contains(QChar(0x2026)), qPrintable(shortened));
    QVERIFY2(shortened.startsWith(QStringLiteral("IMG_")) && shortened.endsWith(QStringLiteral("JPG")), qPrintable(shortened));
    QVERIFY(QFontMetricsF(font).horizontalAdvance(shortened) <= kTextWidth);
    QVERIFY(block.size.width() <= kTextWidth);
}

void TestHelpCard::cardIsAFramelessToolWindowOfItsOwner()
{
    MainWindow owner;
    CHelpWnd card(resources::kHelpPanelText.english, UiLanguage::English, owner.edit);

    QVERIFY(card.isWindow());
    QVERIFY(card.isHidden());
    QCOMPARE(card.windowType(), Qt::Tool);
    QVERIFY(card.windowFlags().testFlag(Qt::FramelessWindowHint));
    QCOMPARE(card.parentWidget(), owner.edit); // its window is the card's owner
    QCOMPARE(card.focusPolicy(), Qt::NoFocus);
    QVERIFY(card.testAttribute(Qt::WA_ShowWithoutActivating));
    QCOMPARE(card.GetText(), QStringLiteral("Drag-and-drop Jpeg files"));
}

void TestHelpCard::maskFollowsEverySize()
{
    CHelpWnd card(resources::kHelpPanelText.english, UiLanguage::English, nullptr);
    card.setGeometry(QRect(QPoint(161, 324), kCardSize));
    card.show();
    QVERIFY(QTest::qWaitForWindowExposed(&card));
    QCOMPARE(card.size(), kCardSize);
    QCOMPARE(card.mask(), decor::RoundedRectRegion(kCardSize, decor::kHelpCardCornerEllipse));
    QVERIFY(!card.mask().contains(QPoint(149, 79)));

    // Every new size gets its own rounded shape, also one given while the card is hidden
    // (the shape is then made before the card shows again).
    card.resize(200, 100);
    QCOMPARE(card.mask(), decor::RoundedRectRegion(QSize(200, 100), decor::kHelpCardCornerEllipse));
    QVERIFY(!card.mask().contains(QPoint(199, 99)));
    QVERIFY(card.mask().contains(QPoint(198, 99)));
    card.hide();
    card.resize(kCardSize);
    card.show();
    QCOMPARE(card.mask(), decor::RoundedRectRegion(kCardSize, decor::kHelpCardCornerEllipse));
}

void TestHelpCard::paintsTheTextCentredOnWhite_data()
{
    QTest::addColumn<UiLanguage>("language");
    QTest::newRow("Japanese") << UiLanguage::Japanese;
    QTest::newRow("English") << UiLanguage::English;
}

void TestHelpCard::paintsTheTextCentredOnWhite()
{
    QFETCH(UiLanguage, language);

    CHelpWnd card(resources::TextId(resources::kHelpPanelText, language), language, nullptr);
    card.resize(kCardSize);
    const QImage picture = card.grab().toImage().convertToFormat(QImage::Format_RGB32);
    SaveSnapshot(picture, QStringLiteral("help_card_") + LanguageName(language));
    QCOMPARE(picture.size(), kCardSize);

    // Every pixel outside the text's rectangle is white; inside it there is grey ink, and
    // nothing darker than the text colour.
    const QRect textRect = card.TextLayout().rect;
    QRect ink;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb pixel = picture.pixel(x, y);
            if (pixel == decor::kHelpCardBackground)
                continue;
            QVERIFY2(textRect.contains(x, y), qPrintable(QStringLiteral("ink at %1,%2 outside %3,%4 %5x%6")
                                                           .arg(x).arg(y).arg(textRect.x()).arg(textRect.y())
                                                           .arg(textRect.width()).arg(textRect.height())));
            QVERIFY2(qGray(pixel) >= qGray(decor::kHelpCardTextColour) - 2, qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
            ink |= QRect(x, y, 1, 1);
        }
    }
    QVERIFY2(ink.isValid(), "no text drawn");
    // Centred as a block: about as much room on the left as on the right.
    QVERIFY2(qAbs(ink.left() - (kCardSize.width() - 1 - ink.right())) <= 3,
             qPrintable(QStringLiteral("ink from %1 to %2").arg(ink.left()).arg(ink.right())));
    QVERIFY2(qAbs(ink.top() - (kCardSize.height() - 1 - ink.bottom())) <= 4,
             qPrintable(QStringLiteral("ink from %1 to %2").arg(ink.top()).arg(ink.bottom())));
}

void TestHelpCard::neverTakesTheFocus()
{
    MainWindow owner;
    owner.window.setGeometry(100, 100, 400, 300);
    owner.window.show();
    owner.window.activateWindow(); // an X server without a window manager activates nothing itself
    QVERIFY(QTest::qWaitForWindowActive(&owner.window));
    owner.edit->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), owner.edit);

    CHelpWnd card(resources::kHelpPanelText.english, UiLanguage::English, &owner.window);
    card.setGeometry(QRect(QPoint(200, 200), kCardSize));
    card.show();
    QVERIFY(QTest::qWaitForWindowExposed(&card));
    QCoreApplication::processEvents();
    QTRY_COMPARE(QApplication::activeWindow(), &owner.window);
    QCOMPARE(QApplication::focusWidget(), owner.edit);

    QTest::mouseClick(&card, Qt::LeftButton, {}, QPoint(75, 40));
    QCoreApplication::processEvents();
    QTRY_COMPARE(QApplication::activeWindow(), &owner.window);
    QCOMPARE(QApplication::focusWidget(), owner.edit);
    QVERIFY(card.isVisible());
}

void TestHelpCard::unknownStringLeavesTheCardBlank()
{
    CHelpWnd card(9999, UiLanguage::English, nullptr);
    QVERIFY(card.GetText().isEmpty());
    card.resize(kCardSize);
    const QImage picture = card.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QImage white(kCardSize, QImage::Format_RGB32);
    white.fill(decor::kHelpCardBackground);
    QCOMPARE(picture, white);
}

QTEST_MAIN(TestHelpCard)
#include "tst_help_card.moc"
