#include "window/list_view_results.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

#include "engine/base/path_text.h"
#include "engine/base/text_cut.h"

void ListViewResultList::setListView(HWND listView) {
    listView_ = listView;
    viewThread_ = GetCurrentThreadId();
    shownChanges_ = changeCount() - 1;  // the first refresh redraws
}

// The list-view moves its own focus and selection past the removed row; it
// is told before the store, so the refresh that follows finds the counts equal.
void ListViewResultList::deleteRow(int row) {
    if (row < 0 || row >= rowCount()) return;
    SendMessageA(listView_, LVM_DELETEITEM, row, 0);
    ResultStore::deleteRow(row);
}

void ListViewResultList::deleteRows(std::vector<int> rows) {
    if (rows.size() == 1) {
        deleteRow(rows[0]);
        return;
    }
    if (rows.empty()) return;
    const int first = *std::min_element(rows.begin(), rows.end());
    focusOnly(-1);
    ResultStore::deleteRows(std::move(rows));
    if (GetCurrentThreadId() == viewThread_ && first < rowCount()) focusOnly(first);
}

// A new job's rows are in the order it writes them.
void ListViewResultList::clearRows() {
    sortColumn_ = -1;
    sortDescending_ = false;
    ResultStore::clearRows();
}

std::vector<int> ListViewResultList::selectedRows() {
    std::vector<int> rows;
    const int count = rowCount();
    if (count > 0 && SendMessageA(listView_, LVM_GETSELECTEDCOUNT, 0, 0) == count) {
        rows.resize(static_cast<std::size_t>(count));
        for (int row = 0; row < count; ++row) rows[static_cast<std::size_t>(row)] = row;
        return rows;
    }
    int row = -1;
    while ((row = static_cast<int>(SendMessageA(listView_, LVM_GETNEXTITEM, row, LVNI_SELECTED))) >= 0)
        rows.push_back(row);
    return rows;
}

std::vector<int> ListViewResultList::chosenRows() {
    std::vector<int> rows = selectedRows();
    if (rows.empty() && focusedRow() >= 0) rows.push_back(focusedRow());
    return rows;
}

void ListViewResultList::selectRows(const std::vector<int>& rows, int focused) {
    focusOnly(-1);
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED;
    item.state = LVIS_SELECTED;
    if (!rows.empty() && static_cast<int>(rows.size()) == rowCount()) {
        SendMessageA(listView_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
    } else {
        for (int row : rows) SendMessageA(listView_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
    }
    if (focused < 0) return;
    item.stateMask = LVIS_FOCUSED;
    item.state = LVIS_FOCUSED;
    SendMessageA(listView_, LVM_SETITEMSTATE, focused, reinterpret_cast<LPARAM>(&item));
}

void ListViewResultList::setOrder(Order order) {
    sortColumn_ = order.column;
    sortDescending_ = order.descending;
    showSortMark();
}

// Only the rows selected now are let go, each on its own: clearing all at
// once visits every row of a long list in some list-views.
void ListViewResultList::focusOnly(int row) {
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED;
    if (SendMessageA(listView_, LVM_GETSELECTEDCOUNT, 0, 0) == rowCount()) {
        SendMessageA(listView_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
    } else {
        int selected = -1;
        while ((selected =
                    static_cast<int>(SendMessageA(listView_, LVM_GETNEXTITEM, selected, LVNI_SELECTED))) >= 0)
            SendMessageA(listView_, LVM_SETITEMSTATE, selected, reinterpret_cast<LPARAM>(&item));
    }
    if (row < 0) return;
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(listView_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
    SendMessageA(listView_, LVM_ENSUREVISIBLE, row, FALSE);
}

void ListViewResultList::sortByColumn(int column) {
    const bool descending = column == sortColumn_ && !sortDescending_;
    const HCURSOR previous = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    try {
        const int focused = sortRows(column, descending, focusedRow());
        sortColumn_ = column;
        sortDescending_ = descending;
        focusOnly(focused);
    } catch (const std::bad_alloc&) {
        // Not enough memory for the order: the rows stay as they are.
    }
    SetCursor(previous);
    showSortMark();
}

// The header's arrow on the sorted column; none while the rows are in the job's order.
void ListViewResultList::showSortMark() {
    if (markedColumn_ == sortColumn_ && markedDescending_ == sortDescending_) return;
    HWND header = reinterpret_cast<HWND>(SendMessageA(listView_, LVM_GETHEADER, 0, 0));
    for (int column = 0; column < 3; ++column) {
        HDITEMA item = {};
        item.mask = HDI_FORMAT;
        SendMessageA(header, HDM_GETITEMA, column, reinterpret_cast<LPARAM>(&item));
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (column == sortColumn_) item.fmt |= sortDescending_ ? HDF_SORTDOWN : HDF_SORTUP;
        SendMessageA(header, HDM_SETITEMA, column, reinterpret_cast<LPARAM>(&item));
    }
    markedColumn_ = sortColumn_;
    markedDescending_ = sortDescending_;
}

int ListViewResultList::focusedRow() {
    return static_cast<int>(SendMessageA(listView_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
}

void ListViewResultList::rowsChanged() {
    if (listView_ != nullptr && GetCurrentThreadId() == viewThread_) refreshView();
}

void ListViewResultList::refreshView() {
    const int count = rowCount();
    if (count != static_cast<int>(SendMessageA(listView_, LVM_GETITEMCOUNT, 0, 0))) {
        SendMessageA(listView_, LVM_SETITEMCOUNT, count, LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
    }
    const uint32_t changes = changeCount();
    if (changes != shownChanges_) {
        shownChanges_ = changes;
        InvalidateRect(listView_, nullptr, FALSE);
    }
    const int row = takeRowToShow();
    if (row >= 0 && row < count) SendMessageA(listView_, LVM_ENSUREVISIBLE, row, FALSE);
    showSortMark();
}

void ListViewResultList::fillItemText(NMLVDISPINFOA& request) {
    LVITEMA& item = request.item;
    if ((item.mask & LVIF_TEXT) == 0 || item.pszText == nullptr || item.cchTextMax <= 0) return;
    PathText text;
    const int length = getCell(item.iItem, item.iSubItem, text);
    const int room = item.cchTextMax - 1;
    const int copied = length <= room ? length : static_cast<int>(cutLength(text, length, room));
    std::memcpy(item.pszText, text, copied);
    item.pszText[copied] = '\0';
}

ListViewResultList& resultView() {
    static ListViewResultList view;
    return view;
}
