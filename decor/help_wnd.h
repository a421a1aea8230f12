#pragma once
// The help card: a small white card with rounded corners and a few lines of grey text
// asking the user to drop JPEG files onto the window. It floats over the middle of the
// thumbnail list while the collection is empty.
//
// The card is its own top-level window (a frameless tool window owned by the main
// window) rather than a child of the view, so that it lies above the list. Its owner
// therefore places it in screen coordinates, and again whenever the main window moves. It
// takes no input: it never keeps the keyboard focus, and a click on it leaves the focus
// where it was.

#include "decor/text_block.h"
#include "platform/ui_language.h"

#include <QColor>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QWidget>

namespace decor {

inline constexpr QRgb kHelpCardBackground = qRgb(255, 255, 255);
inline constexpr QRgb kHelpCardTextColour = qRgb(64, 64, 64);
// The full width and height of the ellipse that rounds each corner.
inline constexpr QSize kHelpCardCornerEllipse{4, 4};
// Space kept free between the card's edges and its text, on every side.
inline constexpr int kHelpCardMargin = 8;
// The UI font's pixel height for the card's text.
inline constexpr int kHelpCardFontHeight = 12;

// How the card sets `text` in a card of `cardSize` with `font`: broken to the width inside
// the margins, then centred as a block in the whole card.
struct HelpCardText {
    TextBlock block;
    QRect rect; // where the block is drawn, in the card's coordinates
};
HelpCardText LayOutHelpCardText(const QString& text, const QFont& font, QSize cardSize);

class CHelpWnd : public QWidget {
    Q_OBJECT

public:
    // The card shows the text of string `stringId` (none for an id without a text) in the
    // UI font of `language`. It is created hidden; `owner` is any widget of the main
    // window, whose window becomes the card's owner: the card stays above it and is hidden
    // and shown again with it.
    CHelpWnd(int stringId, platform::UiLanguage language, QWidget* owner);

    const QString& GetText() const { return m_strText; }
    // The card's text font.
    QFont TextFont() const;
    // The text as the card sets it at its present size.
    HelpCardText TextLayout() const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void GiveActivationBack();

    QString m_strText;
    platform::UiLanguage m_language;
    // The widget that last had the keyboard focus outside the card: it gets the focus back
    // when the window system hands it to the card.
    QPointer<QWidget> m_pLastFocus;
};

} // namespace decor
