// Button faces cut from image strips, the back buffer and the UI font rule.

#include "draw/back_buffer.h"
#include "draw/palette.h"
#include "draw/strips.h"
#include "draw/ui_font.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QTest>

using draw::CImg;
using draw::StripKind;
using platform::UiLanguage;

Q_DECLARE_METATYPE(platform::UiLanguage)

namespace {

// A colour for every pixel of a strip up to 502 x 51 pixels that tells where it came from,
// so a face cut from a wrong place shows. Blue is 1 or 51, so it is never the key.
QRgb FixtureColour(int x, int y)
{
    return qRgb(x % 251, y * 5, (x / 251) * 50 + 1);
}

// A strip of `size` painted with FixtureColour; with `keyed`, every fifth diagonal is the
// colour key, as around the icons of the tool strip.
CImg FixtureStrip(const QSize& size, bool keyed)
{
    QImage strip(size, draw::kNormalFormat);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x)
            strip.setPixel(x, y, keyed && (x + y) % 5 == 0 ? draw::kColourKey : FixtureColour(x, y));
    }
    return CImg(strip);
}

QSize StripSize(StripKind kind, UiLanguage language)
{
    switch (kind) {
    case StripKind::Save: return language == UiLanguage::Japanese ? QSize(400, 48) : QSize(320, 48);
    case StripKind::Delete: return QSize(140, 36);
    case StripKind::Arrows: return QSize(40, 36);
    case StripKind::Tools: return QSize(119, 34);
    }
    return {};
}

QString At(int x, int y)
{
    return QStringLiteral("at %1,%2").arg(x).arg(y);
}

} // namespace

class TestStrips : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void stripCell_data()
    {
        QTest::addColumn<QSize>("strip");
        QTest::addColumn<int>("facesPerRow");
        QTest::addColumn<int>("column");
        QTest::addColumn<bool>("pressed");
        QTest::addColumn<QRect>("cell");
        QTest::newRow("English save, normal") << QSize(320, 48) << 2 << 0 << false << QRect(QPoint(0, 0), QPoint(159, 23));
        QTest::newRow("English save, pressed") << QSize(320, 48) << 2 << 0 << true << QRect(QPoint(0, 24), QPoint(159, 47));
        QTest::newRow("Japanese save all, pressed") << QSize(400, 48) << 2 << 1 << true << QRect(200, 24, 200, 24);
        QTest::newRow("next, normal") << QSize(40, 36) << 2 << 1 << false << QRect(QPoint(20, 0), QPoint(39, 17));
        QTest::newRow("next, pressed") << QSize(40, 36) << 2 << 1 << true << QRect(QPoint(20, 18), QPoint(39, 35));
        QTest::newRow("close, normal") << QSize(119, 34) << 7 << 5 << false << QRect(QPoint(85, 0), QPoint(101, 16));
        QTest::newRow("close, pressed") << QSize(119, 34) << 7 << 5 << true << QRect(QPoint(85, 17), QPoint(101, 33));
        // Widths that do not divide evenly are truncated, never rounded up.
        QTest::newRow("uneven width") << QSize(101, 36) << 2 << 1 << false << QRect(50, 0, 50, 18);
    }
    void stripCell()
    {
        QFETCH(QSize, strip);
        QFETCH(int, facesPerRow);
        QFETCH(int, column);
        QFETCH(bool, pressed);
        QFETCH(QRect, cell);
        QCOMPARE(draw::StripCell(strip, facesPerRow, column, pressed), cell);
        if (facesPerRow == 7)
            QCOMPARE(draw::ToolCell(column, pressed), cell);
    }

    void buttonFace_data()
    {
        QTest::addColumn<int>("controlId");
        QTest::addColumn<UiLanguage>("language");
        QTest::addColumn<bool>("pressed");
        QTest::addColumn<QRect>("cell");
        const UiLanguage en = UiLanguage::English;
        const UiLanguage ja = UiLanguage::Japanese;
        QTest::newRow("save selected, English") << 200 << en << false << QRect(0, 0, 160, 24);
        QTest::newRow("save selected, English, pressed") << 200 << en << true << QRect(0, 24, 160, 24);
        QTest::newRow("save all, Japanese") << 201 << ja << false << QRect(200, 0, 200, 24);
        QTest::newRow("delete all, pressed") << 206 << en << true << QRect(70, 18, 70, 18);
        QTest::newRow("previous") << 213 << en << false << QRect(0, 0, 20, 18);
        QTest::newRow("next") << 214 << en << false << QRect(20, 0, 20, 18);
        QTest::newRow("next, pressed") << 214 << en << true << QRect(20, 18, 20, 18);
        QTest::newRow("home page") << 216 << en << false << QRect(17, 0, 17, 17);
        QTest::newRow("help page, pressed") << 217 << en << true << QRect(51, 17, 17, 17);
        QTest::newRow("minimise") << 218 << en << false << QRect(68, 0, 17, 17);
        QTest::newRow("close") << 219 << en << false << QRect(85, 0, 17, 17);
        QTest::newRow("close, pressed") << 219 << en << true << QRect(85, 17, 17, 17);
    }
    void buttonFace()
    {
        QFETCH(int, controlId);
        QFETCH(UiLanguage, language);
        QFETCH(bool, pressed);
        QFETCH(QRect, cell);

        const std::optional<draw::StripFace> face = draw::StripFaceForButton(controlId);
        QVERIFY(face);
        const bool tool = face->strip == StripKind::Tools;
        const CImg strip = FixtureStrip(StripSize(face->strip, language), tool);

        // A button surface with room around the face: the face is drawn at its own size
        // at (0, 0), and nothing beyond the cell is touched.
        const QRgb untouched = qRgb(1, 2, 3);
        QImage button(cell.width() + 5, cell.height() + 5, QImage::Format_RGB32);
        button.fill(untouched);
        QPainter painter(&button);
        QVERIFY(draw::DrawButtonFace(painter, strip, *face, pressed));
        painter.end();

        for (int y = 0; y < button.height(); ++y) {
            for (int x = 0; x < button.width(); ++x) {
                QRgb expected = untouched;
                if (x < cell.width() && y < cell.height()) {
                    expected = strip.Image().pixel(cell.x() + x, cell.y() + y);
                    if (expected == draw::kColourKey)
                        expected = draw::kWorkspaceBackground;
                }
                QVERIFY2(button.pixel(x, y) == expected, qPrintable(At(x, y)));
            }
        }
    }

    void controlsWithoutAFace()
    {
        for (const int id : {203, 211, 0, 202, 215, 220})
            QVERIFY2(!draw::StripFaceForButton(id), qPrintable(QString::number(id)));
    }

    void stripResourcesFollowTheLanguage()
    {
        QCOMPARE(draw::StripResource(StripKind::Save, UiLanguage::Japanese), 140);
        QCOMPARE(draw::StripResource(StripKind::Save, UiLanguage::English), 151);
        QCOMPARE(draw::StripResource(StripKind::Delete, UiLanguage::Japanese), 134);
        QCOMPARE(draw::StripResource(StripKind::Delete, UiLanguage::English), 150);
        QCOMPARE(draw::StripResource(StripKind::Tools, UiLanguage::Japanese), 136);
    }

    void toolFaceWithoutAPictureStillClearsItsSquare()
    {
        QImage button(20, 20, QImage::Format_RGB32);
        button.fill(qRgb(0, 0, 0));
        QPainter painter(&button);
        QVERIFY(!draw::DrawToolFace(painter, CImg(), 5, false));
        painter.end();
        QCOMPARE(button.pixel(16, 16), draw::kWorkspaceBackground);
        QCOMPARE(button.pixel(17, 17), qRgb(0, 0, 0));
    }

    void backBuffer()
    {
        QImage buffer;
        QVERIFY(draw::CreateBackBuffer(nullptr, 30, 20, draw::kListBackground, buffer));
        QCOMPARE(buffer.size(), QSize(30, 20));
        QCOMPARE(buffer.pixel(0, 0), draw::kListBackground);
        QCOMPARE(buffer.pixel(29, 19), draw::kListBackground);

        // A surface at twice the pixel density gets a buffer that copies 1:1.
        QImage window(10, 10, QImage::Format_RGB32);
        window.setDevicePixelRatio(2.0);
        QVERIFY(draw::CreateBackBuffer(&window, 30, 20, draw::kWorkspaceBackground, buffer));
        QCOMPARE(buffer.size(), QSize(60, 40));
        QCOMPARE(buffer.deviceIndependentSize(), QSizeF(30, 20));

        QVERIFY(!draw::CreateBackBuffer(nullptr, 0, 20, draw::kListBackground, buffer));
        QVERIFY(buffer.isNull());
    }

    void uiFont_data()
    {
        QTest::addColumn<UiLanguage>("language");
        QTest::addColumn<QString>("face");
        QTest::addColumn<QString>("standIn");
        QTest::newRow("Japanese") << UiLanguage::Japanese << QStringLiteral(u"ＭＳ ゴシック") << QStringLiteral("IPAGothic");
        QTest::newRow("English") << UiLanguage::English << QStringLiteral("Arial") << QStringLiteral("Liberation Sans");
    }
    void uiFont()
    {
        QFETCH(UiLanguage, language);
        QFETCH(QString, face);
        QFETCH(QString, standIn);
        if (!QFontDatabase::families().contains(standIn))
            QSKIP(qPrintable(standIn + QStringLiteral(" is not installed (scripts/bootstrap installs it)")));

        QCOMPARE(draw::UiFontFace(language), face);
        const QFont font = draw::UiFont(language, 12);
        QCOMPARE(font.family(), face);
        QCOMPARE(font.pixelSize(), 12);
        QCOMPARE(font.weight(), QFont::Normal);
        QVERIFY(!font.italic() && !font.underline() && !font.strikeOut());
        QCOMPARE(draw::UiFont(language, 12, true).weight(), QFont::Bold);

        const QFontInfo resolved(font);
        QCOMPARE(resolved.family(), standIn);
        QCOMPARE(resolved.pixelSize(), 12);
    }

    void japaneseTextMeasuresFullWidth()
    {
        if (!QFontDatabase::families().contains(QStringLiteral("IPAGothic")))
            QSKIP("IPAGothic is not installed (scripts/bootstrap installs it)");
        // Every kana and kanji of the Japanese face is one em wide, as the captions were laid out.
        const QFontMetrics metrics(draw::UiFont(UiLanguage::Japanese, 12));
        QCOMPARE(metrics.horizontalAdvance(QStringLiteral(u"全て削除")), 48);
    }
};

QTEST_MAIN(TestStrips)
#include "tst_strips.moc"
