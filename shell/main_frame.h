#pragma once
// The main window: borderless, with slightly rounded corners, entirely covered by the
// workspace view. At start a banner fades in, stays and fades half out before the window
// appears; closing asks first.

#include "decor/logo_wnd.h"
#include "platform/ui_language.h"
#include "resources/strings.h"
#include "shell/child_view.h"

#include <QWidget>

#include <functional>

namespace shell {

struct FrameOptions {
    platform::UiLanguage language = platform::UiLanguage::English;
    QString title;
    resources::FileVersion version;
    QString dataFile; // the collection file
    QRect workArea;   // where the window and the banner are centred; the primary screen's when empty
    // Waits between the steps of the start-up sequence (tests record them instead of waiting).
    std::function<void(int milliseconds)> sleep;
};

class CMainFrame : public QWidget {
    Q_OBJECT

public:
    explicit CMainFrame(FrameOptions options);
    ~CMainFrame() override;

    CChildView* View() const { return m_pView; }
    decor::CLogoWnd* Banner() const { return m_pLogoWnd; }
    // True once the start-up sequence has ended and the window has been shown.
    bool IsStarted() const { return m_bStarted; }
    // Whether the program is the active application.
    bool IsActive() const { return m_bActive; }

Q_SIGNALS:
    // The window is shown and the event loop runs: the program is ready for input.
    void Started();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    // Whether `widget` lies in the frame or in one of its own tool windows (help card, banner).
    bool IsFramePart(const QWidget* widget) const;
    void RunStartupSequence();
    void SetBannerOpacity(int percent);
    void OnApplicationStateChanged(Qt::ApplicationState state);

    FrameOptions m_options;
    decor::CLogoWnd* m_pLogoWnd = nullptr;
    CChildView* m_pView = nullptr;
    bool m_bActive = false;
    bool m_bStarted = false;
};

} // namespace shell
