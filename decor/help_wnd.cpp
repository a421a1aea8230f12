#include "decor/help_wnd.h"

#include "decor/rounded_region.h"
#include "draw/back_buffer.h"
#include "draw/ui_font.h"
#include "resources/strings.h"

#include <QApplication>
#include <QPainter>
#include <QResizeEvent>

namespace decor {

HelpCardText LayOutHelpCardText(const QString& text, const QFont& font, QSize cardSize)
{
    HelpCardText result;
    result.block = LayOutTextBlock(text, font, cardSize.width() - 2 * kHelpCardMargin);
    result.rect = CentredTextRect(cardSize, result.block.size);
    return result;
}

CHelpWnd::CHelpWnd(int stringId, platform::UiLanguage language, QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus)
    , m_strText(resources::LoadString(stringId, language))
    , m_language(language)
{
    // Neither showing the card nor clicking it may take the keyboard focus.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_X11DoNotAcceptFocus);
    setFocusPolicy(Qt::NoFocus);
    // Every pixel comes from the back buffer, so nothing needs erasing first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);

    m_pLastFocus = QApplication::focusWidget();
    if (auto* application = qobject_cast<QApplication*>(QCoreApplication::instance())) {
        connect(application, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
            if (now && now->window() != this)
                m_pLastFocus = now;
        });
    }
}

QFont CHelpWnd::TextFont() const
{
    return draw::UiFont(m_language, kHelpCardFontHeight);
}

HelpCardText CHelpWnd::TextLayout() const
{
    return LayOutHelpCardText(m_strText, TextFont(), size());
}

bool CHelpWnd::event(QEvent* event)
{
    // Window systems that ignore the card's wish not to be focused (or a click that makes
    // it the active window) hand it the activation; it goes straight back to where the
    // keyboard focus was.
    if (event->type() == QEvent::WindowActivate)
        GiveActivationBack();
    return QWidget::event(event);
}

void CHelpWnd::GiveActivationBack()
{
    QWidget* previous = m_pLastFocus.data();
    if (!previous || previous->window() == this)
        return;
    previous->activateWindow();
    previous->setFocus(Qt::ActiveWindowFocusReason);
}

void CHelpWnd::paintEvent(QPaintEvent*)
{
    const QSize card = size();
    if (card.isEmpty())
        return;
    QImage buffer;
    if (!draw::CreateBackBuffer(this, card.width(), card.height(), kHelpCardBackground, buffer))
        return;
    {
        QPainter surface(&buffer);
        surface.setFont(TextFont());
        surface.setPen(QColor(kHelpCardTextColour));
        const HelpCardText text = LayOutHelpCardText(m_strText, surface.font(), card);
        DrawTextBlock(surface, text.block, text.rect);
    }
    QPainter(this).drawImage(0, 0, buffer);
}

void CHelpWnd::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    setMask(RoundedRectRegion(event->size(), kHelpCardCornerEllipse));
}

} // namespace decor
