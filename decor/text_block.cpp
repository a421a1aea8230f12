#include "decor/text_block.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>
#include <QTextOption>

#include <algorithm>
#include <cmath>

namespace decor {
namespace {

// The layout breaks lines only at line separators; a plain line feed (or a CR LF pair)
// would otherwise be laid out as a character.
QString WithLineSeparators(QString text)
{
    text.replace(QStringLiteral("\r\n"), QString(QChar::LineSeparator));
    text.replace(QLatin1Char('\n'), QChar::LineSeparator);
    text.replace(QLatin1Char('\r'), QChar::LineSeparator);
    return text;
}

// A line as it is drawn: without the spaces at its end and without its separator.
QString TrimmedLine(const QString& text)
{
    qsizetype end = text.size();
    while (end > 0 && (text.at(end - 1) == QChar::LineSeparator || text.at(end - 1).isSpace()))
        --end;
    return text.left(end);
}

} // namespace

TextBlock LayOutTextBlock(const QString& text, const QFont& font, int width)
{
    const QFontMetrics metrics(font);
    TextBlock block;
    block.lineHeight = metrics.height();
    block.ascent = metrics.ascent();
    if (text.isEmpty())
        return block;

    const QString laidOutText = WithLineSeparators(text);
    QTextLayout layout(laidOutText, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);

    const QFontMetricsF exact(font);
    const qreal lineWidth = std::max(0, width);
    qreal widest = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(lineWidth);
        QString lineText = TrimmedLine(laidOutText.mid(line.textStart(), line.textLength()));
        // Measured as it is drawn, without the spaces the line ends with.
        qreal used = exact.horizontalAdvance(lineText);
        if (used > lineWidth) {
            // A word wider than the line: the layout lets it run over rather than split it.
            lineText = metrics.elidedText(lineText, Qt::ElideMiddle, std::max(0, width));
            used = exact.horizontalAdvance(lineText);
        }
        widest = std::max(widest, used);
        block.lines.append(lineText);
    }
    layout.endLayout();

    block.size = QSize(static_cast<int>(std::ceil(widest)), block.lineHeight * static_cast<int>(block.lines.size()));
    return block;
}

QRect CentredTextRect(QSize area, QSize block)
{
    const QPoint topLeft((area.width() - block.width()) / 2, (area.height() - block.height()) / 2);
    const QPoint bottomRight((area.width() + block.width()) / 2, (area.height() + block.height()) / 2);
    return QRect(topLeft, QSize(bottomRight.x() - topLeft.x(), bottomRight.y() - topLeft.y()));
}

void DrawTextBlock(QPainter& painter, const TextBlock& block, const QRect& rect)
{
    if (rect.isEmpty())
        return;
    painter.save();
    painter.setClipRect(rect, Qt::IntersectClip);
    int top = rect.top();
    for (const QString& line : block.lines) {
        painter.drawText(QPoint(rect.left(), top + block.ascent), line);
        top += block.lineHeight;
    }
    painter.restore();
}

} // namespace decor
