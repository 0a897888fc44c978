// Every operation is one SendMessageA to the list-view: from a worker thread it
// returns once the main thread has updated the list.
#include "window/list_view_results.h"

#include <commctrl.h>

#include "engine/path_text.h"

namespace {

LVITEMA textItem(UINT mask, int row, int column, const char* text) {
    LVITEMA item = {};
    item.mask = mask;
    item.iItem = row;
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text);
    return item;
}

}  // namespace

void ListViewResultList::insertRow(int row, const char* text) {
    LVITEMA item = textItem(LVIF_TEXT | LVIF_PARAM, row, 0, text);
    item.lParam = 0;
    SendMessageA(listView_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

void ListViewResultList::setCell(int row, int column, const char* text) {
    LVITEMA item = textItem(LVIF_TEXT, row, column, text);
    SendMessageA(listView_, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

int ListViewResultList::getCell(int row, int column, char* buffer) {
    buffer[0] = '\0';
    if (row < 0 || row >= static_cast<int>(SendMessageA(listView_, LVM_GETITEMCOUNT, 0, 0))) return 0;
    LVITEMA item = textItem(0, row, column, buffer);
    item.cchTextMax = static_cast<int>(kPathTextSize);
    return static_cast<int>(SendMessageA(listView_, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item)));
}

void ListViewResultList::ensureVisible(int row) { SendMessageA(listView_, LVM_ENSUREVISIBLE, row, 0); }

void ListViewResultList::clearRows() { SendMessageA(listView_, LVM_DELETEALLITEMS, 0, 0); }

void ListViewResultList::deleteRow(int row) { SendMessageA(listView_, LVM_DELETEITEM, row, 0); }

int ListViewResultList::focusedRow() {
    return static_cast<int>(SendMessageA(listView_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
}
