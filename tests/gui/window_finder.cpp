#include "tests/gui/window_finder.h"

#include <cstring>

std::string windowText(HWND window) {
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

std::string dialogItemText(HWND dialog, int controlId) {
    return windowText(GetDlgItem(dialog, controlId));
}

namespace {

struct DialogSearch {
    const char* caption;
    HWND owner;
    HWND found;
};

BOOL CALLBACK matchDialog(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<DialogSearch*>(context);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId() || !IsWindowVisible(window)) return TRUE;
    char className[64] = {};
    GetClassNameA(window, className, sizeof(className));
    if (std::strcmp(className, "#32770") != 0) return TRUE;
    if (search->owner && GetWindow(window, GW_OWNER) != search->owner) return TRUE;
    if (search->caption && windowText(window) != search->caption) return TRUE;
    search->found = window;
    return FALSE;
}

}  // namespace

HWND findDialog(const char* caption, HWND owner) {
    DialogSearch search = {caption, owner, nullptr};
    EnumWindows(matchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
