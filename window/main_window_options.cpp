// Window options of the main window: taskbar progress, always on top and
// transparency.
#include "window/main_window_options.h"

#include <windows.h>

#include <shobjidl.h>

#include "engine/job/run_state.h"
#include "shell/restore_model.h"

namespace {

using SetLayeredAttributes = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);

void changeExtendedStyle(HWND window, LONG add, LONG remove) {
    const LONG style = GetWindowLongA(window, GWL_EXSTYLE);
    SetWindowLongA(window, GWL_EXSTYLE, (style | add) & ~remove);
}

}  // namespace

// A taskbar object that cannot be created (no component library, an older
// shell) leaves the taskbar alone; painting goes on.
void showTaskbarProgress(HWND window, uint32_t percent) {
    ITaskbarList3* taskbar = nullptr;
    if (FAILED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3,
                                reinterpret_cast<void**>(&taskbar))) ||
        taskbar == nullptr) {
        return;
    }
    if (SUCCEEDED(taskbar->HrInit())) {
        if (percent == kProgressFinished) {
            taskbar->SetProgressState(window, TBPF_NOPROGRESS);
        } else {
            taskbar->SetProgressValue(window, percent, 100);
        }
    }
    taskbar->Release();
}

void setOnTop(HWND window, uint32_t on) {
    SetWindowPos(window, on == 1 ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

void setTransparency(HWND window, uint32_t alpha) {
    changeExtendedStyle(window, WS_EX_LAYERED, 0);
    HMODULE user32 = GetModuleHandleA("USER32.dll");
    auto setAttributes = reinterpret_cast<SetLayeredAttributes>(
        reinterpret_cast<void*>(GetProcAddress(user32, "SetLayeredWindowAttributes")));
    if (setAttributes != nullptr) setAttributes(window, 0, appliedOpacity(alpha), LWA_ALPHA);
}

void clearTransparency(HWND window) {
    changeExtendedStyle(window, 0, WS_EX_LAYERED);
}
