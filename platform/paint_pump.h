#pragma once
// Keeping windows painted while a long loop runs on the user-interface thread.

class QWidget;

namespace platform {

// Delivers the repaints that are waiting (widget updates queued on the thread) and nothing
// else: input, timers, window-system notifications and every other queued event stay queued
// until the event loop runs again.
void PumpPaintMessages();

// Shows a top-level window and paints it at once. A newly shown window is normally painted
// only when the window system reports it on screen, and that report waits in the queue with
// the input; a window shown right before a long loop would stay blank until the loop ends.
// Painted this way, its later repaints through PumpPaintMessages reach the screen as well.
void ShowWindowNow(QWidget* window);

} // namespace platform
