#include "window/dpi.h"

#include "window/dpi_model.h"

namespace {

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);

// Looked up at run time: older systems lack it, and the program must load there.
GetDpiForWindowFunction dpiForWindowFunction() {
    static const GetDpiForWindowFunction function = reinterpret_cast<GetDpiForWindowFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("USER32.dll"), "GetDpiForWindow")));
    return function;
}

}  // namespace

uint32_t systemDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    return usableDpi(static_cast<uint32_t>(dpi));
}

uint32_t windowDpi(HWND window) {
    const GetDpiForWindowFunction dpiForWindow = dpiForWindowFunction();
    return dpiForWindow ? usableDpi(dpiForWindow(window)) : systemDpi();
}
