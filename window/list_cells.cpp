#include "window/list_cells.h"

#include <string>

#include "shell/gui_state.h"
#include "window/cell_text_model.h"
#include "window/list_view_results.h"

namespace {

// The room the list-view leaves beside a cell's text.
constexpr int kFirstCellPadding = 2;
constexpr int kCellPadding = 6;

struct Cell {
    int row = -1;
    int column = -1;
};

Cell tippedCell;
PathText tipText;

bool isPathCell(int row, int column) {
    return row >= 0 && (column == 0 || column == 1) && app().settings.searchMode != FileMode;
}

// Where the cell's text goes, in the list's client coordinates.
RECT textArea(HWND list, int row, int column) {
    RECT cell = {};
    cell.top = column;
    cell.left = LVIR_LABEL;
    SendMessageA(list, LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&cell));
    cell.left += column == 0 ? kFirstCellPadding : kCellPadding;
    cell.right -= kCellPadding;
    return cell;
}

std::string shownText(HDC dc, const char* text, int width) {
    return middleCutText(text, width, [dc](const char* part, std::size_t length) {
        SIZE size = {};
        GetTextExtentPoint32A(dc, part, static_cast<int>(length), &size);
        return static_cast<int>(size.cx);
    });
}

void paintPathCell(const NMLVCUSTOMDRAW& draw) {
    HWND list = draw.nmcd.hdr.hwndFrom;
    HDC dc = draw.nmcd.hdc;
    const int row = static_cast<int>(draw.nmcd.dwItemSpec);
    RECT cell = {};
    cell.top = draw.iSubItem;
    cell.left = LVIR_LABEL;
    SendMessageA(list, LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&cell));
    // Selected rows show only while the list has the focus, as the list-view's own cells do.
    const bool selected = GetFocus() == list && SendMessageA(list, LVM_GETITEMSTATE, row, LVIS_SELECTED) != 0;
    FillRect(dc, &cell, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    SetBkMode(dc, TRANSPARENT);
    PathText text;
    resultView().getCell(row, draw.iSubItem, text);
    RECT area = textArea(list, row, draw.iSubItem);
    const std::string shown = shownText(dc, text, area.right - area.left);
    DrawTextA(dc, shown.c_str(), -1, &area, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

Cell cellAt(HWND list, POINT point) {
    LVHITTESTINFO hit = {};
    hit.pt = point;
    SendMessageA(list, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    if (hit.iItem < 0 || (hit.flags & LVHT_ONITEM) == 0) return Cell{};
    return Cell{hit.iItem, hit.iSubItem};
}

// True when the cell's text is wider than the cell shows.
bool shownCut(HWND list, const Cell& cell, const char* text) {
    const RECT area = textArea(list, cell.row, cell.column);
    HDC dc = GetDC(list);
    HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(list, WM_GETFONT, 0, 0)));
    SIZE size = {};
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
    SelectObject(dc, previous);
    ReleaseDC(list, dc);
    return size.cx > area.right - area.left;
}

}  // namespace

LRESULT drawListCell(NMLVCUSTOMDRAW& draw) {
    switch (draw.nmcd.dwDrawStage) {
        case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW;
        case CDDS_ITEMPREPAINT: return CDRF_NOTIFYSUBITEMDRAW;
        case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
            if (!isPathCell(static_cast<int>(draw.nmcd.dwItemSpec), draw.iSubItem)) return CDRF_DODEFAULT;
            paintPathCell(draw);
            return CDRF_SKIPDEFAULT;
        default: return CDRF_DODEFAULT;
    }
}

void addCellTips(HWND window, HWND list) {
    TOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;  // the record common controls 4.70 take, sized for this processor
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window;
    tool.uId = reinterpret_cast<UINT_PTR>(list);
    tool.hinst = gui().instance;
    tool.lpszText = LPSTR_TEXTCALLBACKA;
    SendMessageA(gui().tooltipWindow, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

bool fillCellTip(NMTTDISPINFOA& request) {
    HWND list = gui().resultListView;
    if (request.hdr.idFrom != reinterpret_cast<UINT_PTR>(list)) return false;
    POINT point = {};
    GetCursorPos(&point);
    ScreenToClient(list, &point);
    tippedCell = cellAt(list, point);
    tipText[0] = '\0';
    if (isPathCell(tippedCell.row, tippedCell.column)) {
        resultView().getCell(tippedCell.row, tippedCell.column, tipText);
        if (!shownCut(list, tippedCell, tipText)) tipText[0] = '\0';
    }
    request.lpszText = tipText;
    return true;
}

void trackCellTip(HWND list, LPARAM position) {
    const POINT point = {static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
    const Cell cell = cellAt(list, point);
    if (cell.row == tippedCell.row && cell.column == tippedCell.column) return;
    tippedCell = cell;
    SendMessageA(gui().tooltipWindow, TTM_POP, 0, 0);
}
