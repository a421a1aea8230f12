#include "shell/child_view.h"

#include "collection/collection_file.h"
#include "collection/folder_walk.h"
#include "collection/rotation_preview.h"
#include "collection/selection_rules.h"
#include "collection/thumbnail.h"
#include "decor/help_wnd.h"
#include "draw/back_buffer.h"
#include "draw/palette.h"
#include "draw/ui_font.h"
#include "engine/batch.h"
#include "engine/path_rules.h"
#include "engine/progress_dialog.h"
#include "platform/paint_pump.h"
#include "platform/path_text.h"
#include "resources/messages.h"
#include "platform/web_page.h"
#include "resources/images.h"
#include "resources/strings.h"
#include "shell/strip_button.h"
#include "shell/workspace_layout.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QRadioButton>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QPainter>
#include <QUrl>

#include <cmath>
#include <cstdio>

namespace shell {
namespace {

// Posted to the view at the end of its creation: the collection is loaded once the window is up.
const QEvent::Type kLoadCollectionEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

// Carries dropped paths to the view once the drop itself has been answered, so the program
// the files were dragged from is not kept waiting while they are added.
class DroppedFilesEvent : public QEvent {
public:
    static QEvent::Type EventType()
    {
        static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
        return type;
    }
    explicit DroppedFilesEvent(QStringList paths) : QEvent(EventType()), m_paths(std::move(paths)) {}
    const QStringList& Paths() const { return m_paths; }

private:
    QStringList m_paths;
};

// The caption line: its top, and where its two texts start as fractions of the view's width.
constexpr int kCaptionTop = 27;
constexpr double kCountTextAt = 0.0125;
constexpr double kSettingsLabelAt = 0.5125;
constexpr int kCaptionFontPixels = 12;

int RoundedShare(int width, double share)
{
    return int(width * share + 0.5);
}

// The header: its title at (19, 8) in bold 14-pixel type, the version after it at y 10 in
// 12-pixel type, dark while the program is active, light grey while it is not.
constexpr QPoint kHeaderTitleAt{19, 8};
constexpr int kHeaderVersionTop = 10;
constexpr int kHeaderTitlePixels = 14;
constexpr int kHeaderVersionPixels = 12;
constexpr QRgb kHeaderTextActive = qRgb(64, 64, 72);
constexpr QRgb kHeaderTextInactive = qRgb(192, 192, 192);
// The radio buttons' type size.
constexpr int kRadioFontPixels = 16;

// The flip and rotation choices: control id, the value it stands for.
constexpr std::array<std::pair<int, int>, 3> kFlipChoices{{{kIdcNoFlipping, 0}, {kIdcFlipHorizontal, 1}, {kIdcFlipVertical, 2}}};
constexpr std::array<std::pair<int, int>, 4> kRotationChoices{
    {{kIdcNoRotation, 0}, {kIdcRotate90, 1}, {kIdcRotate180, 2}, {kIdcRotate270, 4}}};

Qt::CursorShape ZoneCursor(BorderZone zone)
{
    switch (zone) {
    case BorderZone::TopLeft:
    case BorderZone::BottomRight: return Qt::SizeFDiagCursor;
    case BorderZone::TopRight:
    case BorderZone::BottomLeft: return Qt::SizeBDiagCursor;
    case BorderZone::Left:
    case BorderZone::Right: return Qt::SizeHorCursor;
    case BorderZone::Top:
    case BorderZone::Bottom: return Qt::SizeVerCursor;
    case BorderZone::None: break;
    }
    return Qt::ArrowCursor;
}

// A radio button that takes a click anywhere in its rectangle, not only on its mark and text.
class CChoiceButton : public QRadioButton {
public:
    using QRadioButton::QRadioButton;

protected:
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};

// Loads a strip picture; a missing one leaves the strip empty.
void LoadStrip(draw::CImg& strip, int id)
{
    strip.LoadResource(id, resources::LoadResourceImage);
}

} // namespace

QString MakerWebHost()
{
    return QStringLiteral(TURNWISE_WEB_HOST);
}

CChildView::CChildView(QWidget* parent, ViewOptions options)
    : QWidget(parent),
      m_language(options.language),
      m_strDataFile(std::move(options.dataFile)),
      m_strTitle(std::move(options.title)),
      m_version(options.version),
      m_strWebHost(std::move(options.webHost))
{
    setAcceptDrops(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true); // the pointer shows the resize zones
    setFocusPolicy(Qt::StrongFocus);
    CreateControls();
    QCoreApplication::postEvent(this, new QEvent(kLoadCollectionEvent));
}

void CChildView::CreateControls()
{
    LoadStrip(m_imgSave, resources::SaveStripId(m_language));
    LoadStrip(m_imgDelete, resources::DeleteStripId(m_language));
    LoadStrip(m_imgArrows, resources::kIdbArrowStrip);
    LoadStrip(m_imgTools, resources::kIdbToolStrip);
    const auto stripOf = [this](draw::StripKind kind) -> const draw::CImg& {
        switch (kind) {
        case draw::StripKind::Save: return m_imgSave;
        case draw::StripKind::Delete: return m_imgDelete;
        case draw::StripKind::Arrows: return m_imgArrows;
        case draw::StripKind::Tools: break;
        }
        return m_imgTools;
    };
    const auto button = [&](int id) {
        const std::optional<draw::StripFace> face = draw::StripFaceForButton(id);
        auto* control = new CStripButton(this, id, stripOf(face->strip), *face);
        connect(control, &QAbstractButton::clicked, this, [this, id] { OnCommand(id); });
        m_controls[id] = control;
    };
    for (const int id : {kIdcHomePage, kIdcHelpPage, kIdcMinimise, kIdcClose, kIdcSaveSelected, kIdcSaveAll})
        button(id);
    m_pList = new collection::CImgList(this, m_language);
    m_pHelp = new decor::CHelpWnd(resources::TextId(resources::kHelpPanelText, m_language), m_language, this);
    button(kIdcDeleteSelected);
    button(kIdcDeleteAll);

    const QFont radioFont = draw::UiFont(m_language, kRadioFontPixels);
    const auto radioGroup = [&](auto choices) {
        auto* group = new QButtonGroup(this);
        for (const auto& [id, value] : choices) {
            auto* radio = new CChoiceButton(resources::LoadString(id, m_language), this);
            radio->setFont(radioFont);
            radio->setCursor(Qt::PointingHandCursor);
            radio->setFocusPolicy(Qt::NoFocus);
            radio->setChecked(value == 0);
            group->addButton(radio, id);
            m_controls[id] = radio;
        }
        connect(group, &QButtonGroup::idClicked, this, [this](int) { OnSettingChanged(); });
        return group;
    };
    m_pFlipGroup = radioGroup(kFlipChoices);
    m_pRotationGroup = radioGroup(kRotationChoices);

    m_pPreviewCtrl = new collection::CPreviewCtrl(this, [this](QPainter& painter, const QRect& rect) { DrawPreview(painter, rect); });
    // Presses on the preview reach the view, which moves the window as on the background.
    m_pPreviewCtrl->setAttribute(Qt::WA_TransparentForMouseEvents);
    button(kIdcPrevious);
    button(kIdcNext);
    PlaceHelpPanel();
    LayoutControls();
}

QAbstractButton* CChildView::Control(int id) const
{
    const auto found = m_controls.find(id);
    return found == m_controls.end() ? nullptr : found->second;
}

void CChildView::LayoutControls()
{
    if (!m_pPreviewCtrl)
        return;
    const StripSizes strips{m_imgSave.GetSize(), m_imgDelete.GetSize(), m_imgArrows.GetSize()};
    const WorkspaceLayout layout = WorkspaceLayout::Compute(size(), strips);
    for (const WorkspaceLayout::Place& place : layout.Places()) {
        if (place.id == kIdcImageList)
            m_pList->setGeometry(place.rect);
        else if (place.id == kIdcPreview)
            m_pPreviewCtrl->setGeometry(place.rect);
        else if (QAbstractButton* control = Control(place.id))
            control->setGeometry(place.rect);
    }
    m_pPreviewCtrl->setMask(layout.PreviewRegion());
    m_pPreviewCtrl->update();
}

void CChildView::PlaceHelpPanel()
{
    if (!m_pHelp)
        return;
    m_pHelp->setGeometry(HelpPanelRect(size()).translated(mapToGlobal(QPoint(0, 0))));
}

void CChildView::SetAppActive(bool active)
{
    m_bActive = active;
    update();
}

void CChildView::OnSettingChanged()
{
    int flip = m_nFlip;
    int rotation = m_nRotation;
    for (const auto& [id, value] : kFlipChoices) {
        if (Control(id)->isChecked())
            flip = value;
    }
    for (const auto& [id, value] : kRotationChoices) {
        if (Control(id)->isChecked())
            rotation = value;
    }
    SetRotationSettings(flip, rotation);
}

void CChildView::DrawHeader(QPainter& surface)
{
    surface.drawImage(QPoint(0, 0), resources::LoadResourceImage(m_bActive ? resources::kIdbHeaderActive : resources::kIdbHeaderInactive));
    surface.save();
    surface.setPen(QColor(m_bActive ? kHeaderTextActive : kHeaderTextInactive));
    surface.setBackgroundMode(Qt::TransparentMode);
    const QFont titleFont = draw::UiFont(m_language, kHeaderTitlePixels, true);
    surface.setFont(titleFont);
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;
    surface.drawText(QRect(kHeaderTitleAt, QSize(width(), height())), flags, m_strTitle);
    const int titleWidth = QFontMetrics(titleFont).horizontalAdvance(m_strTitle);
    surface.setFont(draw::UiFont(m_language, kHeaderVersionPixels));
    surface.drawText(QRect(QPoint(kHeaderTitleAt.x() + titleWidth, kHeaderVersionTop), QSize(width(), height())), flags,
                     resources::HeaderVersionText(m_version));
    surface.restore();
}

CChildView::~CChildView()
{
    SaveImageList();
    while (!m_arrImages.empty())
        RemoveImage(0);
    delete m_pHelp;
}

bool CChildView::AddImage(const QString& path)
{
    if (m_paths.contains(path) || !engine::HasJpegExtension(path))
        return false;
    auto entry = std::make_unique<collection::CImgThumb>();
    entry->m_pImg = std::make_unique<draw::CImg>();
    QSize size(collection::kThumbnailBox, collection::kThumbnailBox);
    if (!collection::LoadFitted(*entry->m_pImg, path, size))
        return false;
    entry->m_strPath = path;
    entry->m_nWidth = size.width();
    entry->m_nHeight = size.height();
    m_paths.insert(path);
    m_pList->AddRow(entry.get());
    m_arrImages.push_back(std::move(entry));
    if (m_nCurrent == -1) {
        m_nCurrent = 0;
        m_pPreviewCtrl->update();
    }
    DrawImageCount(nullptr);
    m_pHelp->hide();
    return true;
}

void CChildView::RemoveImage(int index)
{
    if (index < 0 || index >= ImageCount())
        return;
    m_pList->DeleteRow(index);
    m_paths.remove(m_arrImages[std::size_t(index)]->m_strPath);
    m_arrImages.erase(m_arrImages.begin() + index);
    if (m_nCurrent >= ImageCount()) {
        ClearPreview();
        m_nCurrent = ImageCount() - 1;
        m_pPreviewCtrl->update();
    }
    DrawImageCount(nullptr);
    ShowHelpPanelIfEmpty();
}

void CChildView::RemoveImages(bool all)
{
    if (m_arrImages.empty())
        return;
    if (all) {
        while (!m_arrImages.empty())
            RemoveImage(0);
        return;
    }
    const std::vector<int> selected = m_pList->GetSelItems();
    for (auto row = selected.rbegin(); row != selected.rend(); ++row)
        RemoveImage(*row);
}

void CChildView::OnDropFiles(const QStringList& paths)
{
    QStringList candidates;
    for (const QString& path : paths)
        collection::CollectFiles(path, candidates, platform::PumpPaintMessages);
    if (candidates.isEmpty())
        return;
    m_pList->setUpdatesEnabled(false);
    {
        engine::CProgressDlg progress(this, candidates.size());
        for (int i = 0; i < candidates.size(); ++i) {
            AddImage(candidates.at(i));
            progress.Step(i);
        }
    }
    m_pList->setUpdatesEnabled(true);
    m_pPreviewCtrl->update();
}

void CChildView::LoadImageList()
{
    QFile file(m_strDataFile);
    if (m_strDataFile.isEmpty() || !file.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = file.readAll();
    m_pList->setUpdatesEnabled(false);
    {
        engine::CProgressDlg progress(this, bytes.size());
        qint64 position = 0;
        for (qsizetype at = 0; at + collection::kRecordSize <= bytes.size(); at += collection::kRecordSize) {
            if (AddImage(collection::RecordPath(bytes.constData() + at))) {
                position += collection::kRecordSize;
                progress.Step(position);
            }
        }
    }
    m_pList->setUpdatesEnabled(true);
    if (m_pList->count() > 0) {
        m_pList->SetSel(0, true);
        m_nCurrent = 0;
    }
}

void CChildView::SaveImageList()
{
    if (m_strDataFile.isEmpty())
        return;
    const collection::EncodedCollection encoded = collection::EncodeRecords(Paths());
    for (const QString& path : encoded.tooLong)
        std::fprintf(stderr, "%s: the path is too long for the collection file and is not kept\n",
                     platform::NarrowPath(path).constData());
    if (!collection::WriteCollectionFile(m_strDataFile, encoded.bytes))
        std::fprintf(stderr, "%s: the collection could not be written\n", platform::NarrowPath(m_strDataFile).constData());
}

void CChildView::ClearPreview()
{
    m_pPreview.reset();
    m_nCurrent = -1;
}

void CChildView::PrevImage()
{
    StepCurrent(collection::PrevIndex);
}

void CChildView::NextImage()
{
    StepCurrent(collection::NextIndex);
}

void CChildView::StepCurrent(int (*step)(int current, const collection::RowSelection& rows))
{
    if (m_pList->count() == 0)
        return;
    const int next = step(m_nCurrent, {m_pList->count(), m_pList->GetSelItems()});
    // The preview is made again even when the index stays (one selected picture).
    m_pPreview.reset();
    m_nCurrent = next;
    m_pPreviewCtrl->update();
}

void CChildView::OnImageClicked(int row)
{
    if (collection::ClickMakesRowCurrent(row, {m_pList->count(), m_pList->GetSelItems()})) {
        ClearPreview();
        m_nCurrent = row;
        m_pPreviewCtrl->update();
    } else {
        PrevImage();
    }
    update();
}

void CChildView::DrawPreview(QPainter& surface, const QRect& rect)
{
    QImage buffer;
    if (!draw::CreateBackBuffer(surface.device(), rect.width(), rect.height(), draw::kListBackground, buffer))
        return;
    if (m_nCurrent >= 0 && m_nCurrent < ImageCount()) {
        if (!m_pPreview)
            MakeRotationPreview(rect);
        if (m_pPreview) {
            QSize fitted = m_pPreview->GetSize();
            draw::FitToBox(fitted, rect.width(), rect.height());
            QPainter back(&buffer);
            m_pPreview->DrawScaled(back, QRect(QPoint((rect.width() - fitted.width()) / 2, (rect.height() - fitted.height()) / 2), fitted));
        }
    }
    surface.drawImage(rect.topLeft(), buffer);
}

bool CChildView::MakeRotationPreview(const QRect& box)
{
    m_pPreview.reset();
    if (m_nCurrent < 0 || m_nCurrent >= ImageCount())
        return false;
    auto preview = std::make_unique<draw::CImg>();
    if (!collection::MakeRotationPreview(Image(m_nCurrent).m_strPath, RotationSettings(), box.size(), *preview))
        return false;
    m_pPreview = std::move(preview);
    return true;
}

void CChildView::SetRotationSettings(int flip, int rotation)
{
    m_nFlip = flip;
    m_nRotation = rotation;
    const int current = m_nCurrent;
    ClearPreview();
    m_nCurrent = current;
    m_pPreviewCtrl->update();
}

void CChildView::OnCommand(int id)
{
    const bool noSettings = m_nFlip == 0 && m_nRotation == 0;
    const bool empty = m_arrImages.empty();
    const bool noSelection = m_pList->GetSelCount() == 0;
    const auto inform = [this](resources::TextPair text) { resources::ShowInformation(text, this, m_language); };
    switch (id) {
    case kIdcSaveSelected:
    case kIdcSaveAll:
        if (noSettings)
            return inform(resources::kMsgNoRotationSettings);
        if (empty)
            return inform(resources::kMsgAddImagesFirst);
        if (id == kIdcSaveSelected && noSelection)
            return inform(resources::kMsgNoImagesSelected);
        return SaveRotatedImages(id == kIdcSaveAll);
    case kIdcDeleteSelected:
    case kIdcDeleteAll:
        if (empty)
            return inform(resources::kMsgAddImagesFirst);
        if (id == kIdcDeleteSelected && noSelection)
            return inform(resources::kMsgNoImagesSelected);
        if (resources::AskQuestion(resources::kMsgConfirmDelete, this, m_language))
            RemoveImages(id == kIdcDeleteAll);
        return;
    case kIdcPrevious:
    case kIdcNext:
        if (empty)
            return inform(resources::kMsgAddImagesFirst);
        return id == kIdcPrevious ? PrevImage() : NextImage();
    case kIdcHomePage:
        platform::OpenWebPage(QUrl(resources::HomePageAddress(m_strWebHost, m_language)));
        return;
    case kIdcHelpPage:
        platform::OpenWebPage(QUrl(resources::HelpPageAddress(m_strWebHost, m_language)));
        return;
    case kIdcMinimise:
        window()->showMinimized();
        return;
    case kIdcClose:
        // Closing asks first; the question comes once this command has returned.
        QMetaObject::invokeMethod(window(), &QWidget::close, Qt::QueuedConnection);
        return;
    default:
        return;
    }
}

void CChildView::SaveRotatedImages(bool all)
{
    QString folder;
    if (!engine::BrowseForFolder(resources::Text(resources::kFolderPrompt, m_language), folder, this))
        return;
    const QStringList sources
        = engine::ChooseBatchSources(Paths(), [this](int row) { return m_pList->GetSel(row); }, all);
    {
        engine::CProgressDlg progress(this, all ? ImageCount() : m_pList->GetSelCount());
        engine::SaveRotatedInto(sources, folder, RotationSettings(), [&progress](int processed) { progress.Step(processed); });
    }
    resources::ShowInformation(resources::kMsgProcessCompleted, this, m_language);
}

void CChildView::DrawImageCount(QPainter* surface)
{
    if (!surface) {
        repaint(CaptionRect());
        return;
    }
    const int width = this->width();
    surface->save();
    surface->setFont(draw::UiFont(m_language, kCaptionFontPixels));
    surface->setPen(QColor(draw::kCaptionText));
    surface->setBackgroundMode(Qt::OpaqueMode);
    surface->setBackground(QColor(draw::kWorkspaceBackground));
    const QString count = resources::ImageCountText(ImageCount(), m_pList->GetSelCount(), m_language);
    const QString label = resources::LoadString(resources::kIdsSettingsLabel, m_language);
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;
    surface->drawText(QRect(RoundedShare(width, kCountTextAt), kCaptionTop, width, height()), flags, count);
    surface->drawText(QRect(RoundedShare(width, kSettingsLabelAt), kCaptionTop, width, height()), flags, label);
    surface->restore();
}

bool CChildView::event(QEvent* event)
{
    if (event->type() == kLoadCollectionEvent) {
        OnLoadCollection();
        return true;
    }
    if (event->type() == DroppedFilesEvent::EventType()) {
        OnDropFiles(static_cast<DroppedFilesEvent*>(event)->Paths());
        return true;
    }
    if (event->type() == collection::ImageClickedEvent::EventType()) {
        OnImageClicked(static_cast<collection::ImageClickedEvent*>(event)->Row());
        return true;
    }
    return QWidget::event(event);
}

void CChildView::paintEvent(QPaintEvent* event)
{
    // The whole view is composed off screen and copied in one go; only the part asked for
    // is composed (the caption line alone after each added picture).
    const QRect area = event->rect();
    QImage buffer;
    if (!draw::CreateBackBuffer(this, area.width(), area.height(), draw::kWorkspaceBackground, buffer))
        return;
    {
        QPainter back(&buffer);
        back.translate(-area.topLeft());
        DrawHeader(back);
        const QImage corner = resources::LoadResourceImage(resources::kIdbCorner);
        back.drawImage(QPoint(0, height() - corner.height()), corner);
        DrawImageCount(&back);
    }
    QPainter(this).drawImage(area.topLeft(), buffer);
}

void CChildView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    PlaceHelpPanel();
    LayoutControls();
}

void CChildView::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        OnCommand(kIdcClose);
        return;
    case Qt::Key_F1:
        OnCommand(kIdcHelpPage);
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void CChildView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    m_drag.zone = HitTestBorder(rect(), event->position().toPoint());
    m_drag.pointerAtPress = event->globalPosition().toPoint();
    m_drag.frameAtPress = window()->geometry();
    m_drag.active = true;
}

void CChildView::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_drag.active) {
        setCursor(ZoneCursor(HitTestBorder(rect(), event->position().toPoint())));
        return;
    }
    if (!(event->buttons() & Qt::LeftButton)) {
        // The release went elsewhere: the drag ends all the same.
        mouseReleaseEvent(event);
        return;
    }
    const QPoint delta = event->globalPosition().toPoint() - m_drag.pointerAtPress;
    if (m_drag.zone == BorderZone::None) {
        window()->setGeometry(m_drag.frameAtPress.translated(delta));
    } else {
        setCursor(ZoneCursor(m_drag.zone));
        window()->setGeometry(ResizeFrameRect(m_drag.frameAtPress, m_drag.zone, delta));
    }
    platform::PumpPaintMessages();
}

void CChildView::mouseReleaseEvent(QMouseEvent*)
{
    if (!m_drag.active)
        return;
    m_drag.active = false;
    if (m_drag.zone != BorderZone::None) {
        m_pList->update();
        update();
    }
}

void CChildView::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CChildView::dropEvent(QDropEvent* event)
{
    QStringList paths;
    const QList<QUrl> urls = event->mimeData()->urls();
    for (const QUrl& url : urls) {
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    }
    event->acceptProposedAction();
    QCoreApplication::postEvent(this, new DroppedFilesEvent(paths));
}

void CChildView::OnLoadCollection()
{
    LoadImageList();
    m_pPreviewCtrl->update();
    update();
    ShowHelpPanelIfEmpty();
}

void CChildView::ShowHelpPanelIfEmpty()
{
    m_pHelp->setVisible(m_arrImages.empty());
}

QStringList CChildView::Paths() const
{
    QStringList paths;
    paths.reserve(qsizetype(m_arrImages.size()));
    for (const auto& entry : m_arrImages)
        paths.append(entry->m_strPath);
    return paths;
}

QRect CChildView::CaptionRect() const
{
    return QRect(0, kCaptionTop, width(), QFontMetrics(draw::UiFont(m_language, kCaptionFontPixels)).height());
}

} // namespace shell
