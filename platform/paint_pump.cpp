#include "platform/paint_pump.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace platform {

void PumpPaintMessages()
{
    // An update asked for while a widget paints is queued as UpdateLater; delivering it
    // turns it into an update request, so it goes first. Update requests are what widget
    // updates queue on their top-level window; delivering one paints and flushes that
    // window. Each call delivers only what was queued before it.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateLater);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
}

void ShowWindowNow(QWidget* window)
{
    if (!window)
        return;
    window->show();
    // Widgets discard their repaints until the window counts as mapped, which it does from
    // the window system's first exposure report on. Counting it as mapped now lets the
    // window paint into its buffer and push that to the screen at once; the report itself
    // still arrives later and confirms the state.
    if (!window->testAttribute(Qt::WA_Mapped))
        window->setAttribute(Qt::WA_Mapped);
    window->repaint();
}

} // namespace platform
