#include "actions/action_dialog.h"

#include <commctrl.h>
#include <shellapi.h>

#include "actions/batch_delete.h"
#include "actions/shell_delete.h"
#include "engine/rows/result_list.h"
#include "resources/resource_ids.h"
#include "shell/dialog_fonts.h"
#include "shell/gui_state.h"
#include "window/clicks.h"
#include "window/job_control.h"
#include "window/kept_list.h"
#include "window/main_window.h"
#include "window/menu_model.h"

namespace {

struct Tip {
    int control;
    const char* text;
};

const Tip kTips[] = {
    {BoxPathA, "File A filename"},
    {BoxPathB, "File B filename"},
    {BoxSizeA, "File A size measured in bytes"},
    {BoxSizeB, "File B size measured in bytes"},
    {BoxModifiedA, "Date that File A was last modified"},
    {BoxModifiedB, "Date that File B was last modified"},
    {ButtonOpenA, "Open File A with default file viewer"},
    {ButtonOpenB, "Open File B with default file viewer"},
    {ButtonDeleteA, "Delete File A"},
    {ButtonDeleteB, "Delete File B"},
    {ButtonDeleteAllA, "Delete all files in the 'File A' column that were found to be 100% the same."},
    {ButtonDeleteAllB, "Delete all files in the 'File B' column that were found to be 100% the same."},
    {ButtonDetailView, "Perform detailed comparison of these files."},
};

const int kLargeFontButtons[] = {ButtonOpenA,   ButtonOpenB,      ButtonDeleteA,
                                 ButtonDeleteB, ButtonDeleteAllA, ButtonDeleteAllB};

void setFonts(HWND dialog, const DialogFonts& fonts) {
    for (int control : kLargeFontButtons) DialogFonts::apply(dialog, control, fonts.large());
    DialogFonts::apply(dialog, VerdictLine, fonts.smallFont());
}

// The shared tooltip control would otherwise keep tools for controls that are gone.
void removeTooltips(HWND dialog) {
    for (const Tip& tip : kTips) {
        TOOLINFOA tool{};
        tool.cbSize = sizeof(tool);
        tool.hwnd = GetDlgItem(dialog, tip.control);
        tool.uId = reinterpret_cast<UINT_PTR>(tool.hwnd);
        SendMessageA(gui().tooltipWindow, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void initActionDialog(HWND dialog, const DialogFonts& fonts) {
    setFonts(dialog, fonts);
    if (!fillActionDialog(dialog)) {
        EndDialog(dialog, 0);  // nothing to show: the dialog never appears
        return;
    }
    for (const Tip& tip : kTips) addTooltip(dialog, tip.control, tip.text);
}

void openShownFile(HWND dialog, int pathBox) {
    char path[kPathTextSize] = {};
    GetDlgItemTextA(dialog, pathBox, path, kPathTextSize);
    ShellExecuteA(nullptr, nullptr, path, nullptr, nullptr, SW_SHOWNORMAL);
}

bool pathIsGone(const char* path) {
    if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES) return false;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// Recycles the shown file. The row goes only when the file is really gone;
// a declined, failed or partial delete leaves the list and the dialog as they were.
void deleteShownFile(HWND dialog, int pathBox) {
    char pathList[kPathTextSize + 1] = {};  // the extra NUL ends the shell's list
    if (GetDlgItemTextA(dialog, pathBox, pathList, kPathTextSize) == 0) return;
    if (!shellDelete(dialog, pathList, FOF_ALLOWUNDO) || !pathIsGone(pathList)) return;
    // A twin row also lowers twinCount, keeping the closing row last for "Remove".
    if (!removeTwinRow(app(), gui().selectedRow)) app().results->deleteRow(gui().selectedRow);
    if (!fillActionDialog(dialog)) EndDialog(dialog, 0);
}

// The twin list, with the folder and paths it came from, is kept for the way back.
void requestDetailView(HWND dialog) {
    keepTwinList();
    Settings& settings = app().settings;
    GetDlgItemTextA(dialog, BoxPathA, settings.pathA, kPathTextSize);
    GetDlgItemTextA(dialog, BoxPathB, settings.pathB, kPathTextSize);
    SetWindowTextA(gui().pathBoxA, settings.pathA);
    SetWindowTextA(gui().pathBoxB, settings.pathB);
    app().runState = DetailRequested;
    EndDialog(dialog, 0);
}

void requestDeleteAll(HWND dialog, RunState request) {
    app().runState = request;
    EndDialog(dialog, 0);
}

void onActionCommand(HWND dialog, int control) {
    switch (control) {
        case ButtonOpenA: openShownFile(dialog, BoxPathA); return;
        case ButtonOpenB: openShownFile(dialog, BoxPathB); return;
        case ButtonDeleteA: deleteShownFile(dialog, BoxPathA); return;
        case ButtonDeleteB: deleteShownFile(dialog, BoxPathB); return;
        case ButtonDetailView: requestDetailView(dialog); return;
        case ButtonDeleteAllA: requestDeleteAll(dialog, DeleteAllA); return;
        case ButtonDeleteAllB: requestDeleteAll(dialog, DeleteAllB); return;
        case IDCANCEL: EndDialog(dialog, 0); return;
        default: return;
    }
}

// Started through Start's own path: progress from 0 and the repaint timer
// running, so the progress band moves and the idle face returns at the end.
// The pair is already in both path boxes.
void startDetailView(HWND window) {
    AppState& state = app();
    state.settings.searchMode = FileMode;
    state.runState = Idle;
    resetListColumns(window);
    InvalidateRect(window, nullptr, TRUE);
    startJob(window);
}

void carryOutRequest(HWND window) {
    switch (app().runState) {
        case DetailRequested: startDetailView(window); return;
        case DeleteAllA:
        case DeleteAllB: runDeleteAll(window); return;
        default: return;
    }
}

}  // namespace

void openActionDialog(HWND window) {
    AppState& state = app();
    const int row = state.results->focusedRow();
    const uint32_t mode = state.settings.searchMode;
    if ((mode != DirectoryMode && mode != QuickDirMode) || state.runState != Idle) return;
    gui().selectedRow = row == 0 ? 1 : row;  // the opening "Start" row stands for the first pair
    {
        DialogFonts fonts(25, 16);
        DialogBoxParamA(gui().instance, MAKEINTRESOURCEA(kActionDialog), window, actionDialogProc,
                        reinterpret_cast<LPARAM>(&fonts));
    }
    carryOutRequest(window);
}

INT_PTR CALLBACK actionDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            initActionDialog(dialog, *reinterpret_cast<const DialogFonts*>(lParam));
            return TRUE;
        case WM_COMMAND: onActionCommand(dialog, LOWORD(wParam)); return TRUE;
        case WM_DESTROY: removeTooltips(dialog); return FALSE;
        default: return FALSE;
    }
}
