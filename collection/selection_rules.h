#pragma once
// How the current picture moves: the previous and next arrows step through the selected
// rows when two or more are selected, through every row when none is, and stay put on a
// single selected row. Plain arithmetic over row indices, without the list control.

#include <vector>

namespace collection {

struct RowSelection {
    int rowCount = 0;
    std::vector<int> selected; // selected rows, ascending
};

// The current index after the previous or the next arrow; -1 when there are no rows.
int PrevIndex(int current, const RowSelection& rows);
int NextIndex(int current, const RowSelection& rows);

// After a click has toggled row `clicked`: whether the clicked row becomes current
// (it is selected now, or nothing is selected), or the current picture steps back
// (the click deselected it while other rows stay selected).
bool ClickMakesRowCurrent(int clicked, const RowSelection& rows);

} // namespace collection
