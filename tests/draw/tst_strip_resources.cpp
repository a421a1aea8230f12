// The program's own strips drawn as button faces.

#include "draw/palette.h"
#include "draw/strips.h"
#include "resources/images.h"

#include <QPainter>
#include <QTest>

using draw::CImg;
using draw::StripKind;
using platform::UiLanguage;

Q_DECLARE_METATYPE(platform::UiLanguage)

namespace {

CImg LoadStrip(StripKind kind, UiLanguage language)
{
    CImg strip;
    strip.LoadResource(draw::StripResource(kind, language), resources::LoadResourceImage);
    return strip;
}

QImage RenderFace(const CImg& strip, const draw::StripFace& face, const QSize& cell, bool pressed)
{
    QImage button(cell, QImage::Format_RGB32);
    button.fill(qRgb(1, 2, 3));
    QPainter painter(&button);
    draw::DrawButtonFace(painter, strip, face, pressed);
    return button;
}

} // namespace

class TestStripResources : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void toolStripLoadsFromItsBytes()
    {
        // The strips are carried as complete picture files and read from memory.
        CImg tools;
        QVERIFY(tools.LoadFromBuffer(resources::LoadResourceData(136)));
        QCOMPARE(tools.GetSize(), QSize(119, 34));
        QCOMPARE(tools.GetBPP(), 24);
    }

    void stripSizes_data()
    {
        QTest::addColumn<StripKind>("kind");
        QTest::addColumn<UiLanguage>("language");
        QTest::addColumn<QSize>("size");
        QTest::newRow("save, Japanese") << StripKind::Save << UiLanguage::Japanese << QSize(400, 48);
        QTest::newRow("save, English") << StripKind::Save << UiLanguage::English << QSize(320, 48);
        QTest::newRow("delete, Japanese") << StripKind::Delete << UiLanguage::Japanese << QSize(140, 36);
        QTest::newRow("delete, English") << StripKind::Delete << UiLanguage::English << QSize(140, 36);
        QTest::newRow("arrows") << StripKind::Arrows << UiLanguage::English << QSize(40, 36);
        QTest::newRow("tools") << StripKind::Tools << UiLanguage::Japanese << QSize(119, 34);
    }
    void stripSizes()
    {
        QFETCH(StripKind, kind);
        QFETCH(UiLanguage, language);
        QFETCH(QSize, size);
        const CImg strip = LoadStrip(kind, language);
        QCOMPARE(strip.GetSize(), size);
        QCOMPARE(strip.Image().format(), draw::kNormalFormat);
    }

    void faces_data()
    {
        QTest::addColumn<int>("controlId");
        QTest::addColumn<UiLanguage>("language");
        QTest::addColumn<QRect>("normal");
        QTest::addColumn<QRect>("pressed");
        QTest::newRow("save, English") << 200 << UiLanguage::English << QRect(0, 0, 160, 24) << QRect(0, 24, 160, 24);
        QTest::newRow("save, Japanese") << 200 << UiLanguage::Japanese << QRect(0, 0, 200, 24) << QRect(0, 24, 200, 24);
        QTest::newRow("next") << 214 << UiLanguage::English << QRect(20, 0, 20, 18) << QRect(20, 18, 20, 18);
        QTest::newRow("close") << 219 << UiLanguage::English << QRect(85, 0, 17, 17) << QRect(85, 17, 17, 17);
    }
    void faces()
    {
        QFETCH(int, controlId);
        QFETCH(UiLanguage, language);
        QFETCH(QRect, normal);
        QFETCH(QRect, pressed);
        const std::optional<draw::StripFace> face = draw::StripFaceForButton(controlId);
        QVERIFY(face);
        const CImg strip = LoadStrip(face->strip, language);
        QVERIFY(!strip.IsNull());

        int keyed = 0;
        for (const bool down : {false, true}) {
            const QRect cell = down ? pressed : normal;
            const QImage button = RenderFace(strip, *face, cell.size(), down);
            for (int y = 0; y < cell.height(); ++y) {
                for (int x = 0; x < cell.width(); ++x) {
                    QRgb expected = strip.Image().pixel(cell.x() + x, cell.y() + y);
                    if (face->strip == StripKind::Tools && expected == draw::kColourKey) {
                        expected = draw::kWorkspaceBackground;
                        ++keyed;
                    }
                    QVERIFY2(button.pixel(x, y) == expected,
                             qPrintable(QStringLiteral("%1 face at %2,%3").arg(down ? u"pressed" : u"normal").arg(x).arg(y)));
                }
            }
        }
        if (face->strip == StripKind::Tools)
            QVERIFY2(keyed > 0, "the close icon is drawn around with the colour key");
        QVERIFY2(strip.Image().copy(normal) != strip.Image().copy(pressed), "normal and pressed faces differ");
    }
};

QTEST_MAIN(TestStripResources)
#include "tst_strip_resources.moc"
