#include "window/list_view_results.h"

#include <cstring>

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
