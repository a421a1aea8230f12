#pragma once
// A few lines of text set as one block: broken into lines that fit a width, measured, then
// placed as a whole (centred on a card, say) while each line starts at the block's left
// edge.

#include <QFont>
#include <QRect>
#include <QSize>
#include <QStringList>

class QPainter;

namespace decor {

struct TextBlock {
    QStringList lines;  // the text of each line, without its line break
    int lineHeight = 0; // the font's ascent plus descent; lines follow each other at this step
    int ascent = 0;     // from a line's top to its baseline
    QSize size;         // the widest line (rounded up to whole pixels) by all lines' height
};

// Breaks `text` into lines no wider than `width` pixels in `font`. A line feed always
// starts a new line; otherwise lines break where the Unicode line-breaking rules allow it
// (at spaces, after hyphens and slashes, and between most Japanese characters), as late as
// the width lets them. A piece that cannot be broken and is still too wide, such as a long path, is
// shortened in its middle with an ellipsis so that it fits.
TextBlock LayOutTextBlock(const QString& text, const QFont& font, int width);

// Where a block of `block` size goes to be centred in an area of `area` size starting at
// (0, 0): from ((W - w) / 2, (H - h) / 2) to ((W + w) / 2, (H + h) / 2), each half
// truncated toward zero, so an odd difference leaves the block a pixel nearer the top left
// and the rectangle can be a pixel larger than the block.
QRect CentredTextRect(QSize area, QSize block);

// Draws the block's lines from the top left of `rect`, each line left-aligned, with the
// painter's font and pen (the font the block was laid out with). Nothing is drawn outside
// `rect`.
void DrawTextBlock(QPainter& painter, const TextBlock& block, const QRect& rect);

} // namespace decor
