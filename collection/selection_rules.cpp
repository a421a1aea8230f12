#include "collection/selection_rules.h"

#include <algorithm>

namespace collection {
namespace {

bool IsSelected(int row, const RowSelection& rows)
{
    return std::binary_search(rows.selected.begin(), rows.selected.end(), row);
}

// Clamps the current index into the rows and, when rows are selected but the current one
// is not among them, moves it to the first selected row: the starting point of a step.
int StartingPoint(int current, const RowSelection& rows)
{
    int start = std::clamp(current, 0, rows.rowCount - 1);
    if (!rows.selected.empty() && !IsSelected(start, rows))
        start = rows.selected.front();
    return start;
}

int Step(int current, const RowSelection& rows, int direction)
{
    if (rows.rowCount <= 0)
        return -1;
    const int start = StartingPoint(current, rows);
    const std::vector<int>& sel = rows.selected;
    switch (sel.size()) {
    case 0:
        return (start + direction + rows.rowCount) % rows.rowCount;
    case 1:
        return start;
    default: {
        const int count = int(sel.size());
        const int at = int(std::find(sel.begin(), sel.end(), start) - sel.begin());
        return sel[std::size_t((at + direction + count) % count)];
    }
    }
}

} // namespace

int PrevIndex(int current, const RowSelection& rows)
{
    return Step(current, rows, -1);
}

int NextIndex(int current, const RowSelection& rows)
{
    return Step(current, rows, +1);
}

bool ClickMakesRowCurrent(int clicked, const RowSelection& rows)
{
    return rows.selected.empty() || IsSelected(clicked, rows);
}

} // namespace collection
