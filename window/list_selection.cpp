#include "window/list_selection.h"

#include <commctrl.h>

#include "window/list_cells.h"

namespace {

WNDPROC listViewProc = nullptr;

bool modifierDown() {
    return GetKeyState(VK_SHIFT) < 0 || GetKeyState(VK_CONTROL) < 0;
}

bool isMovingKey(WPARAM key) {
    switch (key) {
        case VK_UP:
        case VK_DOWN:
        case VK_PRIOR:
        case VK_NEXT:
        case VK_HOME:
        case VK_END: return true;
        default: return false;
    }
}

void setSelected(HWND list, int row, bool selected) {
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED;
    item.state = selected ? LVIS_SELECTED : 0;
    SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

int focusedRow(HWND list) {
    return static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
}

// A quick second click on a column's header comes as a double-click, which the
// list-view does not pass on; it is a second click all the same, and sorts again.
bool passHeaderDoubleClick(HWND list, UINT message, LPARAM lParam) {
    if (message != WM_NOTIFY) return false;
    const NMHEADERA& header = *reinterpret_cast<const NMHEADERA*>(lParam);
    if (header.hdr.code != HDN_ITEMDBLCLICKA && header.hdr.code != HDN_ITEMDBLCLICKW) return false;
    NMLISTVIEW click = {};
    click.hdr.hwndFrom = list;
    click.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(list));
    click.hdr.code = LVN_COLUMNCLICK;
    click.iItem = -1;
    click.iSubItem = header.iItem;
    SendMessageA(GetParent(list), WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
    return true;
}

LRESULT CALLBACK cheapSelectionProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    if (passHeaderDoubleClick(list, message, lParam)) return 0;
    if (message == WM_MOUSEMOVE) trackCellTip(list, lParam);
    const bool key = message == WM_KEYDOWN && isMovingKey(wParam);
    const bool click = message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN;
    if ((!key && !click) || modifierDown())
        return CallWindowProcA(listViewProc, list, message, wParam, lParam);
    const int row = focusedRow(list);
    const bool wasSelected = row >= 0 && SendMessageA(list, LVM_GETITEMSTATE, row, LVIS_SELECTED) != 0;
    if (wasSelected) setSelected(list, row, false);
    const LRESULT result = CallWindowProcA(listViewProc, list, message, wParam, lParam);
    // A key that found nowhere to go (Up on the first row) leaves the row as it was.
    if (key && wasSelected && focusedRow(list) == row) setSelected(list, row, true);
    return result;
}

}  // namespace

void keepSelectionCheap(HWND listView) {
    listViewProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(listView, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(cheapSelectionProc)));
}
