#pragma once
// The banner that greets the user at start: the product picture with the title and version
// in small white letters in its bottom-right corner. The main window shows it while it is
// still invisible itself, fades it in and half out, and closes it; the banner only draws
// itself, and dragging it moves the main window.

#include "draw/image.h"
#include "platform/ui_language.h"

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>

#include <memory>

namespace decor {

inline constexpr QSize kBannerSize{380, 50};
inline constexpr QRgb kBannerTextColour = qRgb(255, 255, 255);
// The text's right edge is this far from the banner's right edge, its bottom edge this far
// above the banner's bottom edge.
inline constexpr int kBannerTextMargin = 4;
// The UI font's pixel height for the banner's text.
inline constexpr int kBannerFontHeight = 12;

// The top-left corner of a one-line text of `textExtent` (advance width by font height)
// set into the bottom-right corner of a banner of `client` size.
QPoint BannerTextOrigin(QSize client, QSize textExtent);

// Moving a window with the pointer: every pointer position moves the window by the
// pointer's movement since the position before.
class OwnerDrag {
public:
    void Begin(QPoint pointer);
    void End() { m_bActive = false; }
    bool IsActive() const { return m_bActive; }

    // The window's new top-left corner, from where it is now and the pointer's new
    // position, which becomes the position the next movement is counted from. Outside a
    // drag the window stays where it is.
    QPoint Follow(QPoint pointer, QPoint windowTopLeft);

private:
    bool m_bActive = false;
    QPoint m_ptLast;
};

class CLogoWnd : public QWidget {
    Q_OBJECT

public:
    // A hidden banner of kBannerSize, with no text and no picture, writing in the UI font of
    // `language`. `owner` is the main window: the banner is its tool window, and dragging
    // the banner moves it. The banner never takes the keyboard focus when shown, and it can
    // be faded with setWindowOpacity.
    CLogoWnd(platform::UiLanguage language, QWidget* owner);
    ~CLogoWnd() override;

    // Stores a text that differs from the present one (exact comparison) and repaints; an
    // equal text changes nothing.
    void SetText(const QString& text);
    const QString& GetText() const { return m_strText; }

    // The picture that fills the banner, owned by it from now on; scaled into the banner
    // when their sizes differ. Without a picture (or with an empty one) only the text is drawn.
    void SetImage(std::unique_ptr<draw::CImg> image);
    const draw::CImg* GetImage() const { return m_pImage.get(); }

    // The font the text is written in, and where the text goes at the banner's present size.
    QFont TextFont() const;
    QRect TextRect() const;

    // True from a press of the primary button on the banner until it is released.
    bool IsDragging() const { return m_drag.IsActive(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QWidget* Owner() const;
    void EndDrag();

    QString m_strText;
    std::unique_ptr<draw::CImg> m_pImage;
    platform::UiLanguage m_language;
    OwnerDrag m_drag;
};

} // namespace decor
