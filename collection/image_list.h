#pragma once
// The thumbnail list: one row of fixed height per picture of the collection, the thumbnail
// on the left, the path and the picture's size on the right. A click toggles a row's
// selection and is then reported to the parent with the row's index.

#include "collection/image_entry.h"
#include "platform/ui_language.h"

#include <QEvent>
#include <QListWidget>
#include <QStyledItemDelegate>

#include <vector>

namespace collection {

// Every row is this many pixels high.
inline constexpr int kRowHeight = 100;

// Posted to the list's parent after a click, when the list has already toggled the row.
class ImageClickedEvent : public QEvent {
public:
    static QEvent::Type EventType();
    explicit ImageClickedEvent(int row) : QEvent(EventType()), m_row(row) {}
    int Row() const { return m_row; }

private:
    int m_row;
};

// The text of a row: the path, then the size line.
QString RowText(const CImgThumb& entry);

// Draws one row into `target` at `rect` as the list shows it.
void DrawRow(QPainter& target, const QRect& rect, const CImgThumb& entry, bool selected, bool focused,
             platform::UiLanguage language);

class CImgList : public QListWidget {
    Q_OBJECT

public:
    CImgList(QWidget* parent, platform::UiLanguage language);

    // Appends a row for `entry` (which must outlive the row) and returns its index.
    int AddRow(const CImgThumb* entry);
    void DeleteRow(int row);
    const CImgThumb* RowEntry(int row) const;

    int GetSelCount() const;
    bool GetSel(int row) const;
    std::vector<int> GetSelItems() const; // ascending
    void SetSel(int row, bool selected);

    // The row nearest to a point of the viewport (the last one below the rows), or -1
    // when there are no rows.
    int ItemFromPoint(const QPoint& point) const;

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    platform::UiLanguage m_language;
};

} // namespace collection
