#include "shell/main_frame.h"

#include "decor/rounded_region.h"
#include "platform/paint_pump.h"
#include "resources/images.h"
#include "resources/messages.h"
#include "shell/frame_geometry.h"

#include <QApplication>
#include <QCloseEvent>
#include <QScreen>
#include <QThread>

namespace shell {
namespace {

// Posted by the frame to itself at creation, before the view posts its own start-up request,
// so the start-up sequence runs before the collection is loaded.
const QEvent::Type kStartupEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

void Sleep(int milliseconds)
{
    QThread::msleep(static_cast<unsigned long>(milliseconds));
}

QRect PrimaryWorkArea()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(QPoint(0, 0), kFrameStartSize);
}

} // namespace

CMainFrame::CMainFrame(FrameOptions options) : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), m_options(std::move(options))
{
    if (!m_options.sleep)
        m_options.sleep = Sleep;
    if (m_options.workArea.isEmpty())
        m_options.workArea = PrimaryWorkArea();
    setWindowTitle(m_options.title);
    setWindowIcon(resources::ProgramIcon());
    setMinimumSize(kFrameMinimumSize);
    setGeometry(CenterInWorkArea(m_options.workArea, kFrameStartSize));
    QCoreApplication::postEvent(this, new QEvent(kStartupEvent));

    m_pLogoWnd = new decor::CLogoWnd(m_options.language, this);
    m_pLogoWnd->SetText(resources::BannerText(m_options.title, m_options.version));
    auto picture = std::make_unique<draw::CImg>();
    picture->LoadResource(resources::kIdbBanner, resources::LoadResourceImage);
    m_pLogoWnd->SetImage(std::move(picture));
    m_pLogoWnd->move(CenterInWorkArea(m_options.workArea, decor::kBannerSize).topLeft());
    SetBannerOpacity(0);
    platform::ShowWindowNow(m_pLogoWnd);

    ViewOptions view;
    view.language = m_options.language;
    view.dataFile = m_options.dataFile;
    view.title = m_options.title;
    view.version = m_options.version;
    m_pView = new CChildView(this, view);
    m_pView->setGeometry(rect());

    qApp->installEventFilter(this);
    connect(qApp, &QGuiApplication::applicationStateChanged, this, &CMainFrame::OnApplicationStateChanged);
}

CMainFrame::~CMainFrame()
{
    qApp->removeEventFilter(this);
    delete m_pView; // writes the collection file while the frame still exists
}

bool CMainFrame::event(QEvent* event)
{
    if (event->type() == kStartupEvent) {
        RunStartupSequence();
        return true;
    }
    return QWidget::event(event);
}

void CMainFrame::RunStartupSequence()
{
    if (m_pLogoWnd) {
        m_pLogoWnd->repaint();
        for (const int percent : FadeInSteps()) {
            SetBannerOpacity(percent);
            platform::PumpPaintMessages();
            m_options.sleep(kFadeInStepMs);
        }
        platform::PumpPaintMessages();
        m_options.sleep(kBannerHoldMs);
        platform::PumpPaintMessages();
        for (const int percent : FadeOutSteps()) {
            SetBannerOpacity(percent);
            platform::PumpPaintMessages();
            m_options.sleep(kFadeOutStepMs);
        }
    }
    // The window appears at full opacity in one step; it was never shown before, so no window
    // system, with or without transparency, shows it during the sequence.
    show();
    activateWindow();
    if (m_pLogoWnd) {
        delete m_pLogoWnd;
        m_pLogoWnd = nullptr;
    }
    m_bStarted = true;
    QMetaObject::invokeMethod(this, &CMainFrame::Started, Qt::QueuedConnection);
}

void CMainFrame::SetBannerOpacity(int percent)
{
    if (m_pLogoWnd)
        m_pLogoWnd->setWindowOpacity(OpacityAlpha(percent) / 255.0);
}

bool CMainFrame::IsFramePart(const QWidget* widget) const
{
    const QWidget* window = widget->window();
    if (window == this)
        return true;
    if (window->windowType() != Qt::Tool)
        return false;
    for (const QWidget* owner = window->parentWidget(); owner; owner = owner->parentWidget()) {
        if (owner == this)
            return true;
    }
    return false;
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    // Keys and the wheel go to the view whichever of the frame's windows has them, so the
    // list never scrolls or moves its selection by them.
    // Keys the view leaves alone travel on to its parents, the frame among them: the frame
    // and the view themselves are not redirected again. Dialogs keep their own keys.
    const QEvent::Type type = event->type();
    if ((type == QEvent::KeyPress || type == QEvent::Wheel) && m_pView && watched != m_pView && watched != this
        && watched->isWidgetType() && IsFramePart(static_cast<QWidget*>(watched))) {
        if (type == QEvent::KeyPress)
            QCoreApplication::sendEvent(m_pView, event);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (resources::AskQuestion(resources::kMsgConfirmExit, this, m_options.language))
        event->accept();
    else
        event->ignore();
}

void CMainFrame::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    setMask(decor::RoundedRectRegion(size(), QSize(kCornerEllipse, kCornerEllipse)));
    if (m_pView)
        m_pView->setGeometry(rect());
}

void CMainFrame::moveEvent(QMoveEvent* event)
{
    if (m_pView)
        m_pView->PlaceHelpPanel();
    QWidget::moveEvent(event);
}

void CMainFrame::OnApplicationStateChanged(Qt::ApplicationState state)
{
    m_bActive = state == Qt::ApplicationActive;
    if (m_pView)
        m_pView->SetAppActive(m_bActive);
}

} // namespace shell
