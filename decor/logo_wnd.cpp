#include "decor/logo_wnd.h"

#include "draw/ui_font.h"
#include "resources/images.h"

#include <QCursor>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

namespace decor {

QPoint BannerTextOrigin(QSize client, QSize textExtent)
{
    return {client.width() - textExtent.width() - kBannerTextMargin,
            client.height() - textExtent.height() - kBannerTextMargin};
}

void OwnerDrag::Begin(QPoint pointer)
{
    m_bActive = true;
    m_ptLast = pointer;
}

QPoint OwnerDrag::Follow(QPoint pointer, QPoint windowTopLeft)
{
    if (!m_bActive)
        return windowTopLeft;
    const QPoint moved = windowTopLeft + (pointer - m_ptLast);
    m_ptLast = pointer;
    return moved;
}

CLogoWnd::CLogoWnd(platform::UiLanguage language, QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus)
    , m_language(language)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_X11DoNotAcceptFocus);
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(kBannerSize);
    // Moves without a button held come in too, so a drag whose release went elsewhere ends
    // at the next move.
    setMouseTracking(true);
    // Over the banner the pointer is an open hand, also while it drags.
    setCursor(resources::OpenHandCursor());
}

CLogoWnd::~CLogoWnd() = default;

void CLogoWnd::SetText(const QString& text)
{
    if (text == m_strText)
        return;
    m_strText = text;
    update();
}

void CLogoWnd::SetImage(std::unique_ptr<draw::CImg> image)
{
    m_pImage = std::move(image);
    update();
}

QFont CLogoWnd::TextFont() const
{
    return draw::UiFont(m_language, kBannerFontHeight);
}

QRect CLogoWnd::TextRect() const
{
    const QFontMetrics metrics(TextFont());
    const QSize extent(metrics.horizontalAdvance(m_strText), metrics.height());
    return QRect(BannerTextOrigin(size(), extent), extent);
}

void CLogoWnd::paintEvent(QPaintEvent*)
{
    QPainter surface(this);
    if (m_pImage && !m_pImage->IsNull())
        m_pImage->DrawPart(rect(), surface, QRect(QPoint(0, 0), m_pImage->GetSize()));
    if (m_strText.isEmpty())
        return;
    const QFont font = TextFont();
    surface.setFont(font);
    surface.setPen(QColor(kBannerTextColour));
    const QRect text = TextRect();
    surface.drawText(QPoint(text.left(), text.top() + QFontMetrics(font).ascent()), m_strText);
}

QWidget* CLogoWnd::Owner() const
{
    return parentWidget() ? parentWidget()->window() : nullptr;
}

void CLogoWnd::mousePressEvent(QMouseEvent* event)
{
    // The primary button: with swapped buttons the window system already reports the
    // right one as the left.
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_drag.Begin(event->globalPosition().toPoint());
    event->accept();
}

void CLogoWnd::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_drag.IsActive()) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    // A release that never reached the banner (the pointer was taken elsewhere) ends the
    // drag as soon as the button is seen up.
    if (!(event->buttons() & Qt::LeftButton)) {
        EndDrag();
        return;
    }
    if (QWidget* owner = Owner())
        owner->move(m_drag.Follow(event->globalPosition().toPoint(), owner->pos()));
    event->accept();
}

void CLogoWnd::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_drag.IsActive() && event->button() == Qt::LeftButton) {
        EndDrag();
        event->accept();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

void CLogoWnd::EndDrag()
{
    m_drag.End();
    // The banner never holds the keyboard focus; the main window gets it.
    if (QWidget* owner = Owner())
        owner->activateWindow();
}

} // namespace decor
