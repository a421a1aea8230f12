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
#include "resources/strings.h"
#include "shell/workspace_layout.h"

#include <QCoreApplication>
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

} // namespace

CChildView::CChildView(QWidget* parent, ViewOptions options)
    : QWidget(parent), m_language(options.language), m_strDataFile(std::move(options.dataFile))
{
    setAcceptDrops(true);
    setAttribute(Qt::WA_OpaquePaintEvent);

    m_pList = new collection::CImgList(this, m_language);
    m_pHelp = new decor::CHelpWnd(resources::TextId(resources::kHelpPanelText, m_language), m_language, this);
    m_pPreviewCtrl = new collection::CPreviewCtrl(this, [this](QPainter& painter, const QRect& rect) { DrawPreview(painter, rect); });

    QCoreApplication::postEvent(this, new QEvent(kLoadCollectionEvent));
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
    if (m_pList->count() == 0)
        return;
    const int next = collection::PrevIndex(m_nCurrent, {m_pList->count(), m_pList->GetSelItems()});
    m_pPreview.reset();
    m_nCurrent = next;
    m_pPreviewCtrl->update();
}

void CChildView::NextImage()
{
    if (m_pList->count() == 0)
        return;
    const int next = collection::NextIndex(m_nCurrent, {m_pList->count(), m_pList->GetSelItems()});
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

void CChildView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(draw::kWorkspaceBackground));
    DrawImageCount(&painter);
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
