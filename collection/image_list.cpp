#include "collection/image_list.h"

#include "draw/back_buffer.h"
#include "draw/palette.h"
#include "draw/ui_font.h"
#include "resources/strings.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>

namespace collection {
namespace {

// The thumbnail stands centred in a square box this far from the row's top-left corner.
constexpr int kThumbnailMargin = 2;
// The text starts this far from the row's left edge.
constexpr int kTextLeft = 100;
constexpr int kRowFontPixels = 12;
constexpr int kEntryRole = Qt::UserRole;

// Paints the rows by the list's own rule rather than the style's.
class RowDelegate : public QStyledItemDelegate {
public:
    RowDelegate(CImgList* list, platform::UiLanguage language) : QStyledItemDelegate(list), m_list(list), m_language(language) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override
    {
        return {option.rect.width(), kRowHeight};
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const CImgThumb* entry = m_list->RowEntry(index.row());
        if (!entry)
            return;
        DrawRow(*painter, option.rect, *entry, option.state.testFlag(QStyle::State_Selected),
                option.state.testFlag(QStyle::State_HasFocus), m_language);
    }

private:
    CImgList* m_list;
    platform::UiLanguage m_language;
};

} // namespace

QEvent::Type ImageClickedEvent::EventType()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

QString RowText(const CImgThumb& entry)
{
    return entry.m_strPath + resources::ImageSizeText(entry.m_nWidth, entry.m_nHeight);
}

void DrawRow(QPainter& target, const QRect& rect, const CImgThumb& entry, bool selected, bool focused,
             platform::UiLanguage language)
{
    QImage buffer;
    if (draw::CreateBackBuffer(target.device(), rect.width(), rect.height(),
                               selected ? draw::kSelectedRow : draw::kListBackground, buffer)) {
        QPainter row(&buffer);
        if (entry.m_pImg && !entry.m_pImg->IsNull()) {
            QSize fitted = entry.m_pImg->GetSize();
            draw::FitToBox(fitted, kThumbnailBox, kThumbnailBox);
            entry.m_pImg->Draw(row, (kThumbnailBox - fitted.width()) / 2 + kThumbnailMargin,
                               (kThumbnailBox - fitted.height()) / 2 + kThumbnailMargin);

            const QFont font = draw::UiFont(language, kRowFontPixels);
            row.setFont(font);
            row.setPen(QColor(draw::kRowText));
            const QFontMetrics metrics(font);
            const int width = rect.width() - kTextLeft;
            // A path too wide for the row loses its middle to an ellipsis; the size line wraps.
            const QString path = metrics.horizontalAdvance(entry.m_strPath) > width
                                     ? metrics.elidedText(entry.m_strPath, Qt::ElideMiddle, width)
                                     : entry.m_strPath;
            const QString text = path + resources::ImageSizeText(entry.m_nWidth, entry.m_nHeight);
            const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
            const int textHeight = metrics.boundingRect(QRect(kTextLeft, 0, width, kRowHeight), flags, text).height();
            row.drawText(QRect(kTextLeft, (kRowHeight - textHeight) / 2, width, kRowHeight), flags, text);
        }
    }
    if (!buffer.isNull())
        target.drawImage(rect.topLeft(), buffer);
    if (focused) {
        target.save();
        target.setPen(QPen(Qt::black, 1, Qt::DotLine));
        target.setBrush(Qt::NoBrush);
        target.drawRect(rect.adjusted(0, 0, -1, -1));
        target.restore();
    }
}

CImgList::CImgList(QWidget* parent, platform::UiLanguage language) : QListWidget(parent), m_language(language)
{
    setSelectionMode(QAbstractItemView::MultiSelection);
    setUniformItemSizes(true);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFrameShape(QFrame::NoFrame);
    setItemDelegate(new RowDelegate(this, language));
    QPalette colours = palette();
    colours.setColor(QPalette::Base, QColor(draw::kListBackground));
    setPalette(colours);
}

int CImgList::AddRow(const CImgThumb* entry)
{
    auto* item = new QListWidgetItem(entry->m_strPath);
    item->setData(kEntryRole, QVariant::fromValue(reinterpret_cast<quintptr>(entry)));
    addItem(item);
    return count() - 1;
}

void CImgList::DeleteRow(int row)
{
    delete takeItem(row);
}

const CImgThumb* CImgList::RowEntry(int row) const
{
    const QListWidgetItem* row_item = item(row);
    return row_item ? reinterpret_cast<const CImgThumb*>(row_item->data(kEntryRole).value<quintptr>()) : nullptr;
}

int CImgList::GetSelCount() const
{
    return int(selectionModel()->selectedRows().size());
}

bool CImgList::GetSel(int row) const
{
    const QListWidgetItem* row_item = item(row);
    return row_item && row_item->isSelected();
}

std::vector<int> CImgList::GetSelItems() const
{
    std::vector<int> rows;
    const QModelIndexList selected = selectionModel()->selectedRows();
    rows.reserve(std::size_t(selected.size()));
    for (const QModelIndex& index : selected)
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void CImgList::SetSel(int row, bool selected)
{
    if (QListWidgetItem* row_item = item(row))
        row_item->setSelected(selected);
}

int CImgList::ItemFromPoint(const QPoint& point) const
{
    if (count() == 0)
        return -1;
    const QModelIndex index = indexAt(point);
    if (index.isValid())
        return index.row();
    // Below the last row (or above the first): the nearest row.
    const QRect last = visualRect(model()->index(count() - 1, 0));
    return point.y() >= last.top() ? count() - 1 : 0;
}

void CImgList::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        const int row = ItemFromPoint(event->position().toPoint());
        // Posted, so the parent sees the row after the list has toggled it. A click on an
        // empty list names no row and is not reported.
        if (row >= 0 && parentWidget())
            QCoreApplication::postEvent(parentWidget(), new ImageClickedEvent(row));
    }
    QListWidget::mousePressEvent(event);
}

} // namespace collection
