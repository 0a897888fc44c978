// The main window's procedure: each message goes to one small handler.
#include "window/main_window_proc.h"

#include <commctrl.h>

#include "shell/close_path.h"
#include "shell/gui_state.h"
#include "window/clicks.h"
#include "window/context_menu.h"
#include "window/file_drop.h"
#include "window/job_control.h"
#include "window/list_cells.h"
#include "window/list_view_results.h"
#include "window/main_window.h"
#include "window/main_window_paint.h"
#include "window/row_actions.h"

// WM_DPICHANGED, which the headers of older systems lack.
constexpr UINT kDpiChangedMessage = 0x02E0;

static LRESULT onNotify(HWND window, WPARAM wParam, LPARAM lParam) {
    const UINT code = reinterpret_cast<NMHDR*>(lParam)->code;
    if (code == static_cast<UINT>(NM_DBLCLK)) {
        openRowActions(window);
        return 0;
    }
    if (code == static_cast<UINT>(LVN_COLUMNCLICK)) {
        if (app().runState == Idle)
            resultView().sortByColumn(reinterpret_cast<NMLISTVIEW*>(lParam)->iSubItem);
        return 0;
    }
    if (code == static_cast<UINT>(NM_CUSTOMDRAW) &&
        reinterpret_cast<NMHDR*>(lParam)->hwndFrom == gui().resultListView)
        return drawListCell(*reinterpret_cast<NMLVCUSTOMDRAW*>(lParam));
    if (code == static_cast<UINT>(TTN_GETDISPINFOA) && fillCellTip(*reinterpret_cast<NMTTDISPINFOA*>(lParam)))
        return 0;
    if (code == static_cast<UINT>(LVN_GETDISPINFOA)) {
        resultView().fillItemText(*reinterpret_cast<NMLVDISPINFOA*>(lParam));
        return 0;
    }
    return DefWindowProcA(window, WM_NOTIFY, wParam, lParam);
}

// The handle is known here before CreateWindowExA returns, so the children
// can already reach the main window through the state.
static void onCreate(HWND window) {
    gui().mainWindow = window;
    createChildWindows(window);
}

static void onTimer(HWND window, WPARAM timer) {
    if (timer == kProgressTimer) onProgressTimer(window);
    if (timer == kCloseTimer) onCloseTimer(window);
}

static void onRightButtonUp(HWND window) {
    if (app().runState == Idle) app().runState = MenuRequested;
    showContextMenu(window);
}

// A drop that arrives while a job runs is refused but still released.
static LRESULT onDropFiles(HWND window, WPARAM wParam) {
    HDROP drop = reinterpret_cast<HDROP>(wParam);
    if (app().runState == Idle) {
        handleDrop(window, drop);
    } else {
        discardDrop(drop);
    }
    return 0;
}

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: onCreate(window); return 0;
        case WM_SIZE: layoutChildren(window, lParam); return 0;
        case kDpiChangedMessage: onDpiChanged(window, wParam, lParam); return 0;
        case WM_PAINT: paintMainWindow(window); return 0;
        case WM_SETFOCUS: focusPathBox(window); return 0;
        case WM_NOTIFY: return onNotify(window, wParam, lParam);
        case WM_COMMAND: handleCommand(window, wParam); return 0;
        case WM_TIMER: onTimer(window, wParam); return 0;
        case WM_MOUSEMOVE: trackHover(window, lParam); return 0;
        case WM_LBUTTONUP: handleClick(window, lParam); return 0;
        case WM_RBUTTONUP: onRightButtonUp(window); return 0;
        case WM_DROPFILES: return onDropFiles(window, wParam);
        case WM_CLOSE: requestClose(window); return 0;
        case WM_CONTEXTMENU: PostMessageA(gui().mainWindow, WM_RBUTTONUP, 0, 0); return 0;
        case WM_DESTROY: PostQuitMessage(0); return 0;
        case kUpdateControlsMessage: updateControls(window); return 0;
        case kJobEndedMessage: onJobEnded(window, wParam); return 0;
        default: return DefWindowProcA(window, message, wParam, lParam);
    }
}
