// The main window's children: the two path boxes, the result list and the
// tooltip; their layout, the list's column sets and their run-state controls.
#include "window/main_window.h"

#include <commctrl.h>

#include "shell/gui_state.h"
#include "window/dpi.h"
#include "window/dpi_model.h"
#include "window/geometry_model.h"
#include "window/list_cells.h"
#include "window/list_selection.h"
#include "window/list_view_results.h"
#include "window/main_window_options.h"

namespace {

constexpr DWORD kPathBoxStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
constexpr DWORD kListStyle = WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHAREIMAGELISTS | LVS_OWNERDATA;
// The path cells have tips of their own (list_cells.h), so the list-view's label tips are not asked for.
constexpr DWORD kListExtendedStyle = LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT;

HWND createPathBox(HWND window, int controlId, int y) {
    return CreateWindowExA(0, "Edit", "", kPathBoxStyle, 82, y, 200, 20, window,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)), gui().instance, nullptr);
}

HWND createResultList(HWND window) {
    HWND list = CreateWindowExA(WS_EX_CLIENTEDGE, "SysListView32", "", kListStyle, 0, 0, 0, 0, window,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kResultListId)), gui().instance,
                                nullptr);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, kListExtendedStyle);
    keepSelectionCheap(list);
    return list;
}

HWND createTooltip() {
    return CreateWindowExA(WS_EX_TOPMOST, "Tooltips_class32", "", TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, gui().instance, nullptr);
}

void placeChild(HWND child, const ChildPlace& logical) {
    const ChildPlace place = physicalPlace(logical, gui().dpi);
    MoveWindow(child, place.x, place.y, place.width, place.height, FALSE);
}

void installColumns(HWND list, const ColumnSet& set) {
    for (int index = 0; index < 3; ++index) SendMessageA(list, LVM_DELETECOLUMN, 0, 0);
    for (int index = 0; index < 3; ++index) {
        LVCOLUMNA column = {};
        column.mask = LVCF_WIDTH | LVCF_TEXT;
        column.cx = set.columns[index].width;
        column.pszText = const_cast<char*>(set.columns[index].title);
        SendMessageA(list, LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&column));
    }
}

// Fits the columns to the list's width, keeping room for a vertical scroll bar.
void fitListColumns(HWND list) {
    RECT frame = {};
    GetWindowRect(list, &frame);
    const int32_t reserved = 2 * GetSystemMetrics(SM_CXEDGE) + GetSystemMetrics(SM_CXVSCROLL);
    int32_t widths[3];
    fittedColumnWidths(app().settings.searchMode, frame.right - frame.left, reserved, gui().dpi, widths);
    for (int index = 0; index < 3; ++index) SendMessageA(list, LVM_SETCOLUMNWIDTH, index, widths[index]);
}

// Gives the path boxes a face font of the window's DPI.
void applyPathBoxFont() {
    GuiState& state = gui();
    HFONT previous = state.pathBoxFont;
    state.pathBoxFont = createFaceFont(50, state.dpi);
    SendMessageA(state.pathBoxA, WM_SETFONT, reinterpret_cast<WPARAM>(state.pathBoxFont), TRUE);
    SendMessageA(state.pathBoxB, WM_SETFONT, reinterpret_cast<WPARAM>(state.pathBoxFont), TRUE);
    if (previous) DeleteObject(previous);
}

// A disabled box drops the keyboard focus, and with no focus no key reaches
// the window: the window itself takes it before the box is disabled.
void parkFocusOffBoxes(HWND window) {
    GuiState& state = gui();
    HWND focus = GetFocus();
    if (focus != state.pathBoxA && focus != state.pathBoxB) return;
    state.boxBeforeJob = focus;
    SetFocus(window);
}

// Focus the user moved elsewhere (the list) stays where it is.
void returnFocusToBox(HWND window) {
    if (GetFocus() == window) focusPathBox(window);
    gui().boxBeforeJob = nullptr;
}

}  // namespace

HFONT createFaceFont(int weight, uint32_t dpi, int height) {
    return CreateFontA(scaledLength(height, dpi), 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Tahoma");
}

void createChildWindows(HWND window) {
    GuiState& state = gui();
    AppState& shared = app();
    shared.settings.searchMode = validSearchMode(shared.settings.searchMode);
    state.pathBoxA = createPathBox(window, kPathBoxAId, 53);
    state.pathBoxB = createPathBox(window, kPathBoxBId, 75);
    state.dpi = windowDpi(window);
    applyPathBoxFont();
    state.resultListView = createResultList(window);
    resultView().setListView(state.resultListView);
    shared.results = &resultView();
    shared.updateControls = [window] { PostMessageA(window, kUpdateControlsMessage, 0, 0); };
    state.tooltipWindow = createTooltip();
    addCellTips(window, state.resultListView);
    addTooltip(window, kPathBoxBId, "File to be compared");
    resetListColumns(window);
    setOnTop(window, shared.settings.onTop);
    if (shared.settings.transparent != 0) setTransparency(window, shared.settings.alpha);
}

void layoutChildren(HWND window, LPARAM size) {
    GuiState& state = gui();
    state.clientWidth = logicalCoordinate(LOWORD(size), state.dpi);
    state.clientHeight = logicalCoordinate(HIWORD(size), state.dpi);
    const ChildLayout layout = childLayout(state.clientWidth, state.clientHeight);
    placeChild(state.resultListView, layout.list);
    fitListColumns(state.resultListView);
    placeChild(state.pathBoxA, layout.boxA);
    placeChild(state.pathBoxB, layout.boxB);
    // A window restored from the taskbar shows the face of the current state,
    // even when a job ended while it was minimised.
    invalidateTopBand(window);
}

void resetListColumns(HWND window) {
    const ColumnSet& set = columnSet(app().settings.searchMode);
    resultView().clearRows();
    installColumns(gui().resultListView, set);
    fitListColumns(gui().resultListView);
    addTooltip(window, kPathBoxAId, set.boxATip);
    updateControls(window);
}

// While idle the window hands its focus on, as a dialog does, so Enter and
// the other keys find a box after the window is activated again.
void focusPathBox(HWND window) {
    const GuiState& state = gui();
    if (app().runState != Idle) return;
    HWND box = state.boxBeforeJob;
    if (box == nullptr || !IsWindowVisible(box)) box = GetDlgItem(window, kPathBoxAId);
    if (IsWindowEnabled(box)) SetFocus(box);
}

void updateControls(HWND window) {
    const bool fileMode = app().settings.searchMode == FileMode;
    const bool idle = app().runState == Idle;
    showControl(window, kPathBoxBId, fileMode ? SW_SHOWNORMAL : SW_HIDE);
    if (!idle) parkFocusOffBoxes(window);
    enableControl(window, kPathBoxAId, idle);
    enableControl(window, kPathBoxBId, idle);
    if (idle) returnFocusToBox(window);
}

// A control's tip is replaced, not stacked: the box keeps one tool.
void addTooltip(HWND window, int controlId, const char* text) {
    TOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;  // the record common controls 4.70 take, sized for this processor
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = GetDlgItem(window, controlId);
    tool.uId = reinterpret_cast<UINT_PTR>(tool.hwnd);
    tool.hinst = gui().instance;
    tool.lpszText = const_cast<char*>(text);
    SendMessageA(gui().tooltipWindow, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageA(gui().tooltipWindow, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void onDpiChanged(HWND window, WPARAM wParam, LPARAM lParam) {
    gui().dpi = usableDpi(LOWORD(wParam));
    applyPathBoxFont();
    const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
    SetWindowPos(window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                 suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(window, nullptr, TRUE);
}

void invalidateArea(HWND window, const Rect& logical, bool erase) {
    const Rect rect = physicalRect(logical, gui().dpi);
    const RECT area = {rect.left, rect.top, rect.right, rect.bottom};
    InvalidateRect(window, &area, erase);
}

void invalidateTopBand(HWND window) {
    invalidateArea(window, topBandRect(gui().clientWidth), true);
}

void enableControl(HWND window, int controlId, bool on) {
    EnableWindow(GetDlgItem(window, controlId), on);
}

void showControl(HWND window, int controlId, int command) {
    ShowWindow(GetDlgItem(window, controlId), command);
}
