// Draws every picture the program carries into resources/images/.
//
// The pictures are committed; run this only to remake or restyle them:
//
//   ninja -C build make_artwork
//   QT_QPA_PLATFORM=offscreen build/resources/make_artwork resources/images [--preview DIR]
//
// --preview also writes enlarged copies (and the tool strip keyed onto the workspace
// background) into DIR, for looking at the result. The captions need the fonts IPAGothic
// (fonts-ipafont-gothic) and Liberation Sans (fonts-liberation2); the program refuses to
// run without them, so a remade picture never falls back to another face.
//
// Sizes and layouts are fixed by the program: a strip holds the normal faces in its upper
// row and the pressed faces in its lower row; the tool strip's icons are drawn on the
// workspace background with magenta (255, 0, 255) wherever the button is not, and its
// pressed row is the normal row moved one pixel down and to the right.

#include <QColor>
#include <QDir>
#include <QFont>
#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTextStream>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <vector>

namespace {

// The workspace the pictures sit on.
const QColor kBackground(245, 250, 254);
const QColor kAccent(88, 123, 194);
const QColor kDarkText(64, 64, 72);
const QColor kKey(255, 0, 255);

const QString kJapaneseFace = QStringLiteral("IPAGothic");
const QString kLatinFace = QStringLiteral("Liberation Sans");

QString g_outputFolder;
QString g_previewFolder;
bool g_failed = false;

void Fail(const QString& message)
{
    QTextStream(stderr) << "make_artwork: " << message << '\n';
    g_failed = true;
}

QFont UiFont(const QString& face, int pixelSize, bool bold = false, bool italic = false)
{
    QFont font(face);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setItalic(italic);
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setStyleStrategy(QFont::StyleStrategy(QFont::PreferAntialias | QFont::NoSubpixelAntialias | QFont::NoFontMerging));
    return font;
}

bool HasFace(const QString& face)
{
    const QFontInfo info(UiFont(face, 12));
    if (info.family().compare(face, Qt::CaseInsensitive) == 0)
        return true;
    Fail(QStringLiteral("the font %1 is missing (got %2)").arg(face, info.family()));
    return false;
}

void Begin(QPainter& painter)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
}

void WritePreview(const QImage& image, const QString& name)
{
    if (g_previewFolder.isEmpty())
        return;
    const int scale = std::max(1, std::min(8, 800 / std::max(image.width(), 1)));
    QImage big = image.scaled(image.size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    big.save(QDir(g_previewFolder).filePath(name + QStringLiteral(".png")));
}

// Strips and bitmaps are stored as 24-bit RGB, the cursor and icons with alpha.
void Save(const QImage& image, const QString& name, bool keepAlpha = false)
{
    const QImage stored = image.convertToFormat(keepAlpha ? QImage::Format_ARGB32 : QImage::Format_RGB888);
    const QString path = QDir(g_outputFolder).filePath(name + QStringLiteral(".png"));
    if (!stored.save(path, "PNG"))
        Fail(QStringLiteral("cannot write %1").arg(path));
    WritePreview(stored, name);
}

QColor Mix(const QColor& a, const QColor& b, qreal t)
{
    return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * t, a.greenF() + (b.greenF() - a.greenF()) * t,
                            a.blueF() + (b.blueF() - a.blueF()) * t, a.alphaF() + (b.alphaF() - a.alphaF()) * t);
}

QColor WithAlpha(QColor colour, int alpha)
{
    colour.setAlpha(alpha);
    return colour;
}

qreal SmoothStep(qreal edge0, qreal edge1, qreal x)
{
    const qreal t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

// ---------------------------------------------------------------------------------------
// Button faces of the two-button strips

struct FaceStyle {
    QColor top, bottom;               // normal face gradient
    QColor pressedTop, pressedBottom; // pressed face gradient
    QColor border, pressedBorder;
    QColor shine;                     // line under the top edge of the normal face
    QColor shadow;                    // the face's shadow on the workspace
    QColor text, textShade;           // caption and its one-pixel shade
    QColor pressedText;
    qreal radius;
};

const FaceStyle kPrimaryFace{
    QColor(112, 158, 232), QColor(52, 96, 182), QColor(30, 56, 116), QColor(48, 82, 150),
    QColor(40, 74, 146), QColor(22, 42, 92), QColor(255, 255, 255, 120), QColor(176, 190, 214),
    QColor(255, 255, 255), QColor(20, 40, 96, 140), QColor(220, 230, 250), 4.0};

const FaceStyle kSecondaryFace{
    QColor(255, 255, 255), QColor(220, 228, 240), QColor(176, 192, 218), QColor(204, 216, 234),
    QColor(150, 164, 188), QColor(96, 114, 150), QColor(255, 255, 255, 200), QColor(208, 216, 230),
    kDarkText, QColor(255, 255, 255, 0), QColor(36, 40, 56), 3.0};

using ContentFn = std::function<void(QPainter&, const QRectF& area, const FaceStyle& style)>;

// One cell: a rounded button on the workspace background. The normal face stands one
// pixel above its shadow; the pressed face sits down in it, darker, its content moved.
void PaintFace(QPainter& painter, const QRect& cell, const FaceStyle& style, bool pressed, const ContentFn& content)
{
    painter.save();
    painter.setClipRect(cell);
    painter.fillRect(cell, kBackground);
    const QRectF body = pressed ? QRectF(cell).adjusted(0.5, 1.5, -0.5, -0.5) : QRectF(cell).adjusted(0.5, 0.5, -0.5, -1.5);
    if (!pressed) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(style.shadow);
        painter.drawRoundedRect(body.translated(0, 1), style.radius, style.radius);
    }
    QLinearGradient fill(body.topLeft(), body.bottomLeft());
    fill.setColorAt(0, pressed ? style.pressedTop : style.top);
    fill.setColorAt(1, pressed ? style.pressedBottom : style.bottom);
    painter.setBrush(fill);
    painter.setPen(QPen(pressed ? style.pressedBorder : style.border, 1));
    painter.drawRoundedRect(body, style.radius, style.radius);

    // A light line under the top edge of a raised face; a dark one inside a pressed face.
    const QRectF inner = body.adjusted(1, 1, -1, -1);
    painter.setBrush(Qt::NoBrush);
    QPainterPath edge;
    edge.moveTo(inner.left() + style.radius - 1, inner.top());
    edge.lineTo(inner.right() - style.radius + 1, inner.top());
    painter.setPen(QPen(pressed ? QColor(0, 0, 0, 60) : style.shine, 1));
    painter.drawPath(edge);

    QRectF area = body.adjusted(3, 1, -3, -1);
    FaceStyle shown = style;
    if (pressed) {
        area.translate(1, 0);
        shown.text = style.pressedText;
    }
    content(painter, area, shown);
    painter.restore();
}

// A caption with an optional glyph in front, centred as one group.
ContentFn Caption(const QString& text, const QFont& font, qreal glyphWidth = 0,
                  const std::function<void(QPainter&, const QRectF&, const QColor&)>& glyph = {})
{
    return [=](QPainter& painter, const QRectF& area, const FaceStyle& style) {
        painter.setFont(font);
        const QFontMetricsF metrics(font);
        const qreal gap = glyph ? std::round(font.pixelSize() * 0.3) : 0;
        const qreal textWidth = metrics.horizontalAdvance(text);
        const qreal total = glyphWidth + gap + textWidth;
        const qreal left = std::round(area.left() + (area.width() - total) / 2);
        // Baseline on a whole pixel, the text's cap height centred in the face.
        const qreal baseline = std::round(area.top() + (area.height() + metrics.capHeight()) / 2);
        if (glyph) {
            const QRectF box(left, std::round(area.center().y() - glyphWidth / 2), glyphWidth, glyphWidth);
            glyph(painter, box, style.text);
        }
        const QPointF at(left + glyphWidth + gap, baseline);
        if (style.textShade.alpha() > 0) {
            painter.setPen(style.textShade);
            painter.drawText(at + QPointF(0, 1), text);
        }
        painter.setPen(style.text);
        painter.drawText(at, text);
    };
}

// An arc turning clockwise that ends in an arrow head at `headDegrees` (counted
// counter-clockwise from three o'clock); the arc runs back from the head over `spanDegrees`.
void CircularArrow(QPainter& painter, QPointF centre, qreal radius, qreal width, qreal headDegrees, qreal spanDegrees,
                   const QColor& colour, qreal headLength, qreal headHalfWidth)
{
    painter.save();
    QPen pen(colour, width);
    pen.setCapStyle(Qt::FlatCap);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const QRectF ring(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    painter.drawArc(ring, qRound(headDegrees * 16), qRound(spanDegrees * 16));
    const qreal a = qDegreesToRadians(headDegrees);
    const QPointF at(centre.x() + radius * std::cos(a), centre.y() - radius * std::sin(a));
    const QPointF along(std::sin(a), std::cos(a)); // the clockwise direction on screen
    const QPointF out(std::cos(a), -std::sin(a));
    QPainterPath head;
    head.moveTo(at + along * headLength);
    head.lineTo(at + out * headHalfWidth - along * 0.5);
    head.lineTo(at - out * headHalfWidth - along * 0.5);
    head.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPath(head);
    painter.restore();
}

// What the save buttons do to the pictures: turn them.
void RotateGlyph(QPainter& painter, const QRectF& box, const QColor& colour)
{
    CircularArrow(painter, box.center(), box.width() / 2 - 2.2, 1.8, 70, 275, colour, 3.6, 3.2);
}

// A small cross for the delete buttons.
void CrossGlyph(QPainter& painter, const QRectF& box, const QColor&)
{
    painter.save();
    QPen pen(QColor(204, 64, 60), 1.5);
    pen.setCapStyle(Qt::SquareCap);
    painter.setPen(pen);
    // From pixel centre to pixel centre, so that the diagonals stay sharp.
    const QRectF r = box.adjusted(1.5, 1.5, -1.5, -1.5);
    painter.drawLine(r.topLeft(), r.bottomRight());
    painter.drawLine(r.topRight(), r.bottomLeft());
    painter.restore();
}

// Two buttons side by side, normal row over pressed row.
QImage TwoButtonStrip(QSize size, const FaceStyle& style, const ContentFn& left, const ContentFn& right)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(kBackground);
    QPainter painter(&image);
    Begin(painter);
    const int cw = size.width() / 2;
    const int ch = size.height() / 2;
    for (int row = 0; row < 2; ++row) {
        PaintFace(painter, QRect(0, row * ch, cw, ch), style, row == 1, left);
        PaintFace(painter, QRect(cw, row * ch, cw, ch), style, row == 1, right);
    }
    return image;
}

void MakeSaveStrips()
{
    const QFont japanese = UiFont(kJapaneseFace, 13);
    Save(TwoButtonStrip(QSize(400, 48), kPrimaryFace, Caption(QStringLiteral("選択画像を回転して保存"), japanese, 14, RotateGlyph),
                        Caption(QStringLiteral("全ての画像を回転して保存"), japanese, 14, RotateGlyph)),
         QStringLiteral("save_ja"));
    const QFont latin = UiFont(kLatinFace, 13, true);
    Save(TwoButtonStrip(QSize(320, 48), kPrimaryFace, Caption(QStringLiteral("Save"), latin, 14, RotateGlyph),
                        Caption(QStringLiteral("Save All"), latin, 14, RotateGlyph)),
         QStringLiteral("save_en"));
}

void MakeDeleteStrips()
{
    const QFont japanese = UiFont(kJapaneseFace, 12);
    Save(TwoButtonStrip(QSize(140, 36), kSecondaryFace, Caption(QStringLiteral("削除"), japanese, 7, CrossGlyph),
                        Caption(QStringLiteral("全て削除"), japanese, 7, CrossGlyph)),
         QStringLiteral("delete_ja"));
    const QFont latin = UiFont(kLatinFace, 11);
    Save(TwoButtonStrip(QSize(140, 36), kSecondaryFace, Caption(QStringLiteral("Delete"), latin, 7, CrossGlyph),
                        Caption(QStringLiteral("Delete All"), latin, 7, CrossGlyph)),
         QStringLiteral("delete_en"));
}

ContentFn Triangle(bool pointsRight)
{
    return [=](QPainter& painter, const QRectF& area, const FaceStyle&) {
        const QPointF c(std::round(area.center().x()), std::round(area.center().y()));
        QPainterPath path;
        const qreal d = pointsRight ? 1 : -1;
        path.moveTo(c.x() + 3.5 * d, c.y());
        path.lineTo(c.x() - 2.5 * d, c.y() - 4.5);
        path.lineTo(c.x() - 2.5 * d, c.y() + 4.5);
        path.closeSubpath();
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(52, 86, 160));
        painter.drawPath(path);
    };
}

void MakeArrowStrip()
{
    Save(TwoButtonStrip(QSize(40, 36), kSecondaryFace, Triangle(false), Triangle(true)), QStringLiteral("arrows"));
}

// ---------------------------------------------------------------------------------------
// Tool strip: seven 17 x 17 icons, keyed with magenta

using GlyphFn = std::function<void(QPainter&)>; // draws in a 16 x 16 box, white

QPen GlyphPen(qreal width = 1.6)
{
    QPen pen(Qt::white, width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

void InfoGlyph(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(6.9, 3.4, 2.2, 2.2));
    p.drawRoundedRect(QRectF(7, 6.6, 2, 6), 0.6, 0.6);
}

void HouseGlyph(QPainter& p)
{
    QPainterPath roof;
    roof.moveTo(3.2, 8.2);
    roof.lineTo(8, 3.6);
    roof.lineTo(12.8, 8.2);
    p.setPen(GlyphPen(1.5));
    p.setBrush(Qt::NoBrush);
    p.drawPath(roof);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    QPainterPath body;
    body.addRect(QRectF(4.8, 7.6, 6.4, 5));
    QPainterPath door;
    door.addRect(QRectF(7.1, 9.8, 1.8, 2.8));
    p.drawPath(body.subtracted(door));
}

void MailGlyph(QPainter& p)
{
    p.setPen(GlyphPen(1.2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(3.6, 5.1, 8.8, 6.2));
    QPainterPath flap;
    flap.moveTo(3.8, 5.4);
    flap.lineTo(8, 8.6);
    flap.lineTo(12.2, 5.4);
    p.drawPath(flap);
}

void QuestionGlyph(QPainter& p)
{
    QPainterPath hook;
    hook.moveTo(5.6, 6.0);
    hook.cubicTo(5.6, 3.2, 10.6, 3.0, 10.6, 5.8);
    hook.cubicTo(10.6, 7.6, 8.0, 7.8, 8.0, 9.6);
    p.setPen(GlyphPen(1.6));
    p.setBrush(Qt::NoBrush);
    p.drawPath(hook);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(6.9, 11.0, 2.2, 2.2));
}

void DownArrowGlyph(QPainter& p)
{
    p.setPen(GlyphPen(2.0));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(8, 4), QPointF(8, 11.2));
    QPainterPath head;
    head.moveTo(4.6, 8.2);
    head.lineTo(8, 11.6);
    head.lineTo(11.4, 8.2);
    p.drawPath(head);
}

void CloseGlyph(QPainter& p)
{
    p.setPen(GlyphPen(1.8));
    p.drawLine(QPointF(5, 4.6), QPointF(11, 10.6));
    p.drawLine(QPointF(11, 4.6), QPointF(5, 10.6));
}

void MaximiseGlyph(QPainter& p)
{
    p.setPen(GlyphPen(1.2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(4.1, 4.1, 7.8, 7.3));
    p.setPen(QPen(Qt::white, 2));
    p.drawLine(QPointF(4.1, 5), QPointF(11.9, 5));
}

struct ToolIcon {
    GlyphFn glyph;
    QColor top, bottom, border;
};

// Column order is fixed: 1 house, 3 question mark, 4 down arrow, 5 cross.
std::vector<ToolIcon> ToolIcons()
{
    const QColor blueTop(112, 154, 226), blueBottom(58, 100, 184), blueBorder(46, 80, 156);
    return {
        {InfoGlyph, blueTop, blueBottom, blueBorder},
        {HouseGlyph, blueTop, blueBottom, blueBorder},
        {MailGlyph, blueTop, blueBottom, blueBorder},
        {QuestionGlyph, blueTop, blueBottom, blueBorder},
        {DownArrowGlyph, blueTop, blueBottom, blueBorder},
        {CloseGlyph, QColor(234, 112, 104), QColor(196, 60, 54), QColor(156, 44, 40)},
        {MaximiseGlyph, blueTop, blueBottom, blueBorder},
    };
}

void MakeToolStrip()
{
    const int cell = 17;
    const std::vector<ToolIcon> icons = ToolIcons();
    const int columns = static_cast<int>(icons.size());
    // The button occupies the cell's upper-left 16 x 16 pixels, so that the pressed face,
    // moved by one pixel, still fits the cell.
    const QRectF button(0.5, 0.5, 15, 15);
    const qreal radius = 3.5;

    QImage normal(columns * cell, cell, QImage::Format_RGB32);
    normal.fill(kBackground);
    QImage coverage(normal.size(), QImage::Format_RGB32);
    coverage.fill(Qt::black);
    {
        QPainter painter(&normal);
        Begin(painter);
        QPainter mask(&coverage);
        Begin(mask);
        for (int c = 0; c < columns; ++c) {
            const ToolIcon& icon = icons[static_cast<std::size_t>(c)];
            painter.save();
            painter.translate(c * cell, 0);
            QLinearGradient fill(button.topLeft(), button.bottomLeft());
            fill.setColorAt(0, icon.top);
            fill.setColorAt(1, icon.bottom);
            painter.setBrush(fill);
            painter.setPen(QPen(icon.border, 1));
            painter.drawRoundedRect(button, radius, radius);
            painter.setPen(QPen(QColor(255, 255, 255, 90), 1));
            painter.drawLine(QPointF(3.5, 1.5), QPointF(12.5, 1.5));
            icon.glyph(painter);
            painter.restore();

            mask.save();
            mask.translate(c * cell, 0);
            mask.setPen(QPen(Qt::white, 1));
            mask.setBrush(Qt::white);
            mask.drawRoundedRect(button, radius, radius);
            mask.restore();
        }
    }
    // Wherever the button leaves no trace, the key: a keyed copy leaves the surface there.
    for (int y = 0; y < normal.height(); ++y)
        for (int x = 0; x < normal.width(); ++x)
            if (qRed(coverage.pixel(x, y)) == 0)
                normal.setPixel(x, y, kKey.rgb());

    QImage strip(columns * cell, 2 * cell, QImage::Format_RGB32);
    strip.fill(kKey);
    for (int c = 0; c < columns; ++c) {
        for (int y = 0; y < cell; ++y) {
            for (int x = 0; x < cell; ++x) {
                const QRgb pixel = normal.pixel(c * cell + x, y);
                strip.setPixel(c * cell + x, y, pixel);
                if (x + 1 < cell && y + 1 < cell)
                    strip.setPixel(c * cell + x + 1, cell + y + 1, pixel);
            }
        }
    }
    Save(strip, QStringLiteral("tools"));

    if (!g_previewFolder.isEmpty()) {
        QImage keyed = strip;
        for (int y = 0; y < keyed.height(); ++y)
            for (int x = 0; x < keyed.width(); ++x)
                if (keyed.pixel(x, y) == kKey.rgb())
                    keyed.setPixel(x, y, kBackground.rgb());
        WritePreview(keyed, QStringLiteral("tools_keyed"));
    }
}

// ---------------------------------------------------------------------------------------
// Banner: a landscape at dusk with the maker's name

// A ridge line by midpoint displacement, one height per pixel column.
std::vector<qreal> Ridge(int width, qreal base, qreal roughness, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<qreal> offset(-1.0, 1.0);
    int size = 1;
    while (size < width)
        size *= 2;
    std::vector<qreal> h(static_cast<std::size_t>(size) + 1, base);
    h.front() = base + offset(random) * roughness;
    h.back() = base + offset(random) * roughness;
    qreal amplitude = roughness;
    for (int step = size; step > 1; step /= 2) {
        for (int i = step / 2; i < size; i += step) {
            const auto at = static_cast<std::size_t>(i);
            h[at] = (h[at - static_cast<std::size_t>(step / 2)] + h[at + static_cast<std::size_t>(step / 2)]) / 2
                    + offset(random) * amplitude;
        }
        amplitude *= 0.58;
    }
    h.resize(static_cast<std::size_t>(width));
    return h;
}

QPainterPath RidgePath(const std::vector<qreal>& ridge, qreal bottom)
{
    QPainterPath path;
    path.moveTo(0, bottom);
    for (std::size_t x = 0; x < ridge.size(); ++x)
        path.lineTo(static_cast<qreal>(x), ridge[x]);
    path.lineTo(static_cast<qreal>(ridge.size()), ridge.back());
    path.lineTo(static_cast<qreal>(ridge.size()), bottom);
    path.closeSubpath();
    return path;
}

void Conifer(QPainterPath& path, qreal x, qreal ground, qreal height)
{
    const qreal w = height * 0.36;
    for (int tier = 0; tier < 3; ++tier) {
        const qreal top = ground - height + tier * height * 0.26;
        const qreal bottom = top + height * 0.48;
        const qreal half = w * (0.45 + 0.28 * tier);
        QPolygonF tri;
        tri << QPointF(x, top) << QPointF(x + half, bottom) << QPointF(x - half, bottom);
        path.addPolygon(tri);
        path.closeSubpath();
    }
    path.addRect(QRectF(x - 0.6, ground - height * 0.2, 1.2, height * 0.2));
}

void MakeBanner()
{
    const int W = 380, H = 50;
    const qreal horizon = 31;
    const QPointF sun(150, 25.5);
    QImage image(W, H, QImage::Format_RGB32);
    QPainter p(&image);
    Begin(p);

    // Sky: deep blue above, warm light along the horizon.
    QLinearGradient sky(0, 0, 0, horizon);
    sky.setColorAt(0.0, QColor(18, 32, 78));
    sky.setColorAt(0.35, QColor(52, 72, 138));
    sky.setColorAt(0.70, QColor(196, 128, 124));
    sky.setColorAt(0.90, QColor(246, 170, 112));
    sky.setColorAt(1.0, QColor(255, 206, 140));
    p.fillRect(QRectF(0, 0, W, horizon + 1), sky);

    QRadialGradient glow(sun, 150);
    glow.setColorAt(0, QColor(255, 232, 170, 230));
    glow.setColorAt(0.12, QColor(255, 196, 128, 150));
    glow.setColorAt(0.45, QColor(255, 150, 110, 40));
    glow.setColorAt(1, QColor(255, 140, 110, 0));
    p.save();
    p.translate(sun);
    p.scale(1, 0.45);
    p.translate(-sun);
    p.fillRect(QRectF(0, -40, W, 120), glow);
    p.restore();

    // Thin clouds lit from below.
    std::mt19937 random(7);
    std::uniform_real_distribution<qreal> unit(0, 1);
    for (int i = 0; i < 11; ++i) {
        const qreal cx = 20 + unit(random) * 350;
        const qreal cy = 6 + unit(random) * 14;
        const qreal rw = 24 + unit(random) * 50;
        const qreal lit = 1 - std::min(1.0, std::abs(cx - sun.x()) / 220);
        QRadialGradient streak(QPointF(cx, cy), rw);
        streak.setColorAt(0, QColor(255, 186 + static_cast<int>(40 * lit), 160, 50 + static_cast<int>(90 * lit)));
        streak.setColorAt(1, QColor(255, 196, 170, 0));
        p.save();
        p.translate(cx, cy);
        p.scale(1, 0.07 + unit(random) * 0.05);
        p.translate(-cx, -cy);
        p.setPen(Qt::NoPen);
        p.setBrush(streak);
        p.drawEllipse(QPointF(cx, cy), rw, rw);
        p.restore();
    }

    // The sun.
    QRadialGradient disc(sun, 6);
    disc.setColorAt(0, QColor(255, 255, 240));
    disc.setColorAt(0.6, QColor(255, 244, 200));
    disc.setColorAt(1, QColor(255, 220, 150, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(disc);
    p.drawEllipse(sun, 6, 6);

    // Far mountains in haze, opening into a valley where the sun sets; nearer hills darker.
    std::vector<qreal> far = Ridge(W, 19, 10, 11);
    std::vector<qreal> near = Ridge(W, 27.5, 4, 23);
    for (std::size_t x = 0; x < far.size(); ++x) {
        const qreal valley = std::exp(-std::pow((static_cast<qreal>(x) - sun.x()) / 34, 2));
        far[x] += (horizon - 2 - far[x]) * 0.85 * valley;
        near[x] += (horizon - near[x]) * 0.7 * valley;
    }
    QLinearGradient farFill(0, 8, 0, horizon);
    farFill.setColorAt(0, QColor(104, 96, 150));
    farFill.setColorAt(1, QColor(196, 136, 138));
    p.setBrush(farFill);
    p.drawPath(RidgePath(far, horizon + 1));

    QLinearGradient nearFill(0, 20, 0, horizon);
    nearFill.setColorAt(0, QColor(52, 50, 92));
    nearFill.setColorAt(1, QColor(82, 66, 102));
    p.setBrush(nearFill);
    p.drawPath(RidgePath(near, horizon + 1));

    // The lake mirrors the sky, darker towards the viewer.
    QLinearGradient water(0, horizon, 0, H);
    water.setColorAt(0, QColor(214, 146, 124));
    water.setColorAt(0.3, QColor(112, 84, 120));
    water.setColorAt(1, QColor(22, 28, 62));
    p.fillRect(QRectF(0, horizon, W, H - horizon), water);
    // The hills' reflection, softened.
    p.save();
    p.setClipRect(QRectF(0, horizon, W, H - horizon));
    p.translate(0, 2 * horizon + 1);
    p.scale(1, -1);
    p.setOpacity(0.45);
    p.setBrush(QColor(40, 38, 76));
    p.drawPath(RidgePath(near, horizon + 1));
    p.restore();
    // The sun's path on the water.
    for (int i = 0; i < 70; ++i) {
        const qreal depth = unit(random);
        const qreal y = horizon + 1 + depth * (H - horizon - 2);
        const qreal spread = 3 + (y - horizon) * 1.2;
        const qreal x = sun.x() + (unit(random) * 2 - 1) * spread * (0.4 + unit(random));
        const qreal len = 1.5 + unit(random) * (2 + (y - horizon) * 0.5);
        const int alpha = static_cast<int>(230 - depth * 170);
        p.setPen(QPen(QColor(255, 226, 170, alpha), 0.9));
        p.drawLine(QPointF(x - len / 2, y), QPointF(x + len / 2, y));
    }

    // Dark shores with firs on both sides; the right one carries the version text.
    QPainterPath shore;
    shore.setFillRule(Qt::WindingFill); // overlapping tiers of the firs stay filled
    shore.moveTo(0, 36);
    shore.cubicTo(26, 35, 52, 40, 78, 44);
    shore.cubicTo(92, 46, 98, 50, 104, 50);
    shore.lineTo(0, 50);
    shore.closeSubpath();
    shore.moveTo(W, 31.5);
    shore.cubicTo(330, 32, 280, 35, 240, 39);
    shore.cubicTo(210, 42, 186, 47, 172, 50);
    shore.lineTo(W, 50);
    shore.closeSubpath();
    const qreal firs[][3] = {{5, 36.5, 17},   {12, 36.4, 12},  {20, 36.2, 19},  {29, 36.8, 11}, {36, 37.4, 14},
                             {46, 38.6, 9},   {57, 40.2, 7},   {268, 36.5, 9},  {280, 34.8, 12}, {291, 33.8, 15},
                             {302, 33.2, 11}, {312, 32.8, 18}, {323, 32.4, 14}, {333, 32.1, 21}, {345, 31.9, 16},
                             {356, 31.7, 23}, {367, 31.6, 17}, {377, 31.5, 20}};
    for (const auto& fir : firs)
        Conifer(shore, fir[0], fir[1], fir[2]);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(12, 16, 32));
    p.drawPath(shore.simplified());

    // Evening falls darker towards the lower right, where the version text stands.
    QRadialGradient dusk(QPointF(W, H), 230);
    dusk.setColorAt(0, QColor(0, 0, 20, 120));
    dusk.setColorAt(1, QColor(0, 0, 20, 0));
    p.save();
    p.translate(W, H);
    p.scale(1, 0.35);
    p.translate(-W, -H);
    p.fillRect(QRectF(0, 0, W, 3 * H), dusk);
    p.restore();

    // The maker's name in white italic letters at the upper left.
    const QFont name = UiFont(kLatinFace, 19, true, true);
    p.setFont(name);
    const QPointF at(9, 20);
    p.setPen(QColor(0, 0, 20, 130));
    p.drawText(at + QPointF(1, 1), QStringLiteral("Brantmoor"));
    p.setPen(Qt::white);
    p.drawText(at, QStringLiteral("Brantmoor"));
    p.end();

    // Fine grain, as in a photograph.
    std::normal_distribution<double> grain(0, 2.0);
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            const QRgb c = image.pixel(x, y);
            const int n = static_cast<int>(std::lround(grain(random)));
            image.setPixel(x, y, qRgb(std::clamp(qRed(c) + n, 0, 255), std::clamp(qGreen(c) + n, 0, 255),
                                      std::clamp(qBlue(c) + n, 0, 255)));
        }
    }
    Save(image, QStringLiteral("banner"));

    // How the banner looks with its version text, for the preview only.
    if (!g_previewFolder.isEmpty()) {
        QImage shown = image;
        QPainter q(&shown);
        Begin(q);
        const QFont text = UiFont(kLatinFace, 12);
        q.setFont(text);
        const QString version = QStringLiteral("Brantmoor Turnwise Version 1.0.0.0");
        const QFontMetrics metrics(text);
        q.setPen(Qt::white);
        q.drawText(W - metrics.horizontalAdvance(version) - 4, H - 4 - metrics.descent(), version);
        q.end();
        WritePreview(shown, QStringLiteral("banner_with_text"));
    }
}

// ---------------------------------------------------------------------------------------
// Header bars and the corner picture

// The program's mark in the header: a circular arrow.
void Emblem(QPainter& p, const QRectF& box, const QColor& colour)
{
    CircularArrow(p, box.center(), box.width() / 2 - 2, 1.9, 70, 275, colour, 3.8, 3.3);
}

// A bar that starts in `colour` at the left and fades into the workspace at its right end,
// so that it meets the background seamlessly where the window is wider.
QImage HeaderBar(const QColor& colour, const QColor& line, const QColor& mark)
{
    const int W = 410, H = 28;
    QImage image(W, H, QImage::Format_RGB32);
    for (int y = 0; y < H; ++y) {
        // Slight gloss: lighter upper half.
        const qreal gloss = y < H / 2 ? 0.22 * (1 - static_cast<qreal>(y) / (H / 2)) : 0;
        const QColor bar = Mix(colour, Qt::white, gloss);
        for (int x = 0; x < W; ++x) {
            const qreal fade = 1 - SmoothStep(0.30, 1.0, static_cast<qreal>(x) / (W - 1));
            QColor c = Mix(kBackground, bar, fade);
            if (y == H - 1)
                c = Mix(kBackground, line, fade);
            else if (y == H - 2)
                c = Mix(c, line, 0.25 * fade);
            image.setPixel(x, y, c.rgb());
        }
    }
    QPainter p(&image);
    Begin(p);
    Emblem(p, QRectF(2.5, 7.5, 14, 14), mark);
    return image;
}

void MakeHeaderBars()
{
    Save(HeaderBar(QColor(136, 178, 240), kAccent, QColor(36, 68, 140)), QStringLiteral("header_active"));
    Save(HeaderBar(QColor(220, 223, 228), QColor(192, 196, 204), QColor(172, 176, 184)), QStringLiteral("header_inactive"));

    if (!g_previewFolder.isEmpty()) {
        // The header as the workspace paints it: title at (19, 8), version after it.
        const struct {
            const char16_t* file;
            QColor text;
            const char16_t* name;
        } headers[] = {{u"header_active.png", kDarkText, u"header_active_with_title"},
                       {u"header_inactive.png", QColor(192, 192, 192), u"header_inactive_with_title"},
                       {u"header_active.png", kDarkText, u"header_active_with_title_ja"}};
        for (const auto& h : headers) {
            QImage shown(600, 28, QImage::Format_RGB32);
            shown.fill(kBackground);
            QPainter q(&shown);
            Begin(q);
            q.drawImage(0, 0, QImage(QDir(g_outputFolder).filePath(QString::fromUtf16(h.file))));
            const bool japanese = QString::fromUtf16(h.name).endsWith(QStringLiteral("_ja"));
            const QString face = japanese ? kJapaneseFace : kLatinFace;
            const QString title = japanese ? QStringLiteral("ターンワイズ") : QStringLiteral("Brantmoor Turnwise");
            const QFont bold = UiFont(face, 14, true);
            q.setFont(bold);
            q.setPen(h.text);
            const QFontMetrics m(bold);
            q.drawText(19, 8 + m.ascent(), title);
            const int tw = m.horizontalAdvance(title);
            const QFont small = UiFont(face, 12);
            q.setFont(small);
            q.drawText(19 + tw, 10 + QFontMetrics(small).ascent(), QStringLiteral(" Ver.1.0.0.0"));
            q.end();
            WritePreview(shown, QString::fromUtf16(h.name));
        }
    }
}

// Ripples spreading from the window's lower-left corner.
void MakeCorner()
{
    const int W = 38, H = 34;
    QImage image(W, H, QImage::Format_RGB32);
    image.fill(kBackground);
    QPainter p(&image);
    Begin(p);
    const QPointF corner(0, H);
    QRadialGradient wash(corner, 34);
    wash.setColorAt(0, WithAlpha(kAccent, 84));
    wash.setColorAt(0.6, WithAlpha(kAccent, 26));
    wash.setColorAt(1, WithAlpha(kAccent, 0));
    p.fillRect(image.rect(), wash);
    p.setBrush(Qt::NoBrush);
    const struct {
        qreal radius;
        int alpha;
        qreal width;
    } rings[] = {{9, 210, 1.6}, {17, 150, 1.3}, {25, 90, 1.1}, {32, 40, 1.0}};
    for (const auto& ring : rings) {
        p.setPen(QPen(WithAlpha(kAccent, ring.alpha), ring.width));
        p.drawEllipse(corner, ring.radius, ring.radius);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(WithAlpha(kAccent, 230));
    p.drawEllipse(corner, 4, 4);
    p.end();
    Save(image, QStringLiteral("corner"));
}

// ---------------------------------------------------------------------------------------
// Cursor and icons

// An open hand, palm towards the viewer, drawn pixel by pixel as pointers are: X black,
// o white, anything else clear. The hot spot (14, 17) lies in the palm.
void MakeOpenHand()
{
    static const char* const kRows[32] = {
        "................................",
        "................................",
        "................................",
        "............XX..................",
        "...........XooXXX...............",
        "...........XooXooX..............",
        ".........XXXooXooX..............",
        "........XooXooXooXXX............",
        "........XooXooXooXooX...........",
        "........XooXooXooXooX...........",
        "........XooXooXooXooX...........",
        "........XooXooXooXooX...........",
        "...XX...XooXooXooXooX...........",
        "..XooX..XooXooXooXooX...........",
        "..XoooX.XooXooXooXooX...........",
        "...XoooXXoooooooooooX...........",
        "....XooooooooooooooooX..........",
        ".....XoooooooooooooooX..........",
        "......XooooooooooooooX..........",
        ".......XoooooooooooooX..........",
        "........XooooooooooooX..........",
        "........XooooooooooooX..........",
        "........XooooooooooooX..........",
        ".........XooooooooooX...........",
        ".........XooooooooooX...........",
        "..........XooooooooX............",
        "..........XooooooooX............",
        "...........XooooooX.............",
        "............XXXXXX..............",
        "................................",
        "................................",
        "................................",
    };
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            if (kRows[y][x] == 'X')
                image.setPixel(x, y, qRgba(0, 0, 0, 255));
            else if (kRows[y][x] == 'o')
                image.setPixel(x, y, qRgba(255, 255, 255, 255));
        }
    }
    Save(image, QStringLiteral("open_hand"), true);
}

// The program's icon: a photograph turning inside a circular arrow, on a blue tile.
QImage Icon(int size, bool launcher)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    Begin(p);
    const qreal s = size / 256.0;
    p.scale(s, s);
    const qreal px = 1 / s; // one device pixel in design units
    const bool tiny = size <= 24;

    // Tile.
    const QRectF tile(8, 8, 240, 240);
    QLinearGradient tileFill(tile.topLeft(), tile.bottomLeft());
    tileFill.setColorAt(0, QColor(104, 158, 236));
    tileFill.setColorAt(1, QColor(34, 76, 160));
    p.setPen(QPen(QColor(24, 56, 124), std::max(4.0, px)));
    p.setBrush(tileFill);
    p.drawRoundedRect(tile, 52, 52);
    if (!tiny) {
        QLinearGradient shine(0, 8, 0, 128);
        shine.setColorAt(0, QColor(255, 255, 255, 70));
        shine.setColorAt(1, QColor(255, 255, 255, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(shine);
        p.drawRoundedRect(tile.adjusted(6, 6, -6, -120), 46, 46);
    }

    // Circular arrows around the picture; broader where the icon is small.
    const qreal arrowWidth = std::max(size <= 16 ? 30.0 : tiny ? 24.0 : 15.0, 1.6 * px);
    const qreal ringRadius = size <= 16 ? 94 : 88;
    const QColor orange(255, 196, 84);
    CircularArrow(p, QPointF(128, 128), ringRadius, arrowWidth, 100, 120, orange, arrowWidth * 2, arrowWidth * 1.35);
    CircularArrow(p, QPointF(128, 128), ringRadius, arrowWidth, -80, 120, orange, arrowWidth * 2, arrowWidth * 1.35);

    // The photograph, turned a little.
    p.save();
    p.translate(128, 128);
    p.rotate(-12);
    const QRectF card(-62, -50, 124, 100);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 40, 70));
    p.drawRoundedRect(card.translated(4, 6), 8, 8);
    p.setBrush(Qt::white);
    p.drawRoundedRect(card, 8, 8);
    const qreal border = tiny ? 16 : 11;
    const QRectF photo = card.adjusted(border, border, -border, -border);
    p.setClipRect(photo);
    QLinearGradient sky(photo.topLeft(), photo.bottomLeft());
    sky.setColorAt(0, QColor(120, 184, 246));
    sky.setColorAt(1, QColor(206, 234, 252));
    p.fillRect(photo, sky);
    if (!tiny) {
        p.setBrush(QColor(255, 214, 80));
        p.drawEllipse(QPointF(photo.right() - 22, photo.top() + 20), 10, 10);
    }
    QPainterPath mountain;
    mountain.moveTo(photo.left(), photo.bottom());
    mountain.lineTo(photo.left() + photo.width() * 0.36, photo.top() + photo.height() * 0.30);
    mountain.lineTo(photo.left() + photo.width() * 0.62, photo.bottom() - photo.height() * 0.30);
    mountain.lineTo(photo.left() + photo.width() * 0.78, photo.top() + photo.height() * 0.52);
    mountain.lineTo(photo.right(), photo.bottom());
    mountain.closeSubpath();
    p.setBrush(QColor(62, 142, 92));
    p.drawPath(mountain);
    p.restore();

    if (launcher) {
        // The launcher's badge: a start triangle at the lower right.
        const QPointF at(198, 198);
        const qreal br = 46;
        p.setPen(QPen(Qt::white, std::max(8.0, px)));
        QLinearGradient badge(at - QPointF(0, br), at + QPointF(0, br));
        badge.setColorAt(0, QColor(96, 200, 120));
        badge.setColorAt(1, QColor(34, 140, 70));
        p.setBrush(badge);
        p.drawEllipse(at, br, br);
        QPainterPath play;
        play.moveTo(at + QPointF(22, 0));
        play.lineTo(at + QPointF(-13, -21));
        play.lineTo(at + QPointF(-13, 21));
        play.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawPath(play);
    }
    p.end();
    return image;
}

void MakeIcons()
{
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        Save(Icon(size, false), QStringLiteral("program_icon_%1").arg(size), true);
        Save(Icon(size, true), QStringLiteral("launcher_icon_%1").arg(size), true);
    }
}

} // namespace

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    QStringList args = QGuiApplication::arguments();
    args.removeFirst();
    const qsizetype preview = args.indexOf(QStringLiteral("--preview"));
    if (preview >= 0 && preview + 1 < args.size()) {
        g_previewFolder = args.at(preview + 1);
        args.remove(preview, 2);
    }
    if (args.size() != 1) {
        QTextStream(stderr) << "usage: make_artwork OUTPUT_FOLDER [--preview FOLDER]\n";
        return 2;
    }
    g_outputFolder = args.first();
    if (!QDir().mkpath(g_outputFolder) || (!g_previewFolder.isEmpty() && !QDir().mkpath(g_previewFolder))) {
        QTextStream(stderr) << "make_artwork: cannot create the output folders\n";
        return 1;
    }
    if (!HasFace(kJapaneseFace) || !HasFace(kLatinFace))
        return 1;

    MakeSaveStrips();
    MakeDeleteStrips();
    MakeArrowStrip();
    MakeToolStrip();
    MakeBanner();
    MakeHeaderBars();
    MakeCorner();
    MakeOpenHand();
    MakeIcons();
    return g_failed ? 1 : 0;
}
