// Placeholder bodies; the main window's drawing replaces them.
#include "window/main_window.h"

void createChildWindows(HWND) {}
void layoutChildren(HWND, LPARAM) {}
void resetListColumns(HWND) {}
void updateControls(HWND) {}
void addTooltip(HWND, int, const char*) {}
void enableControl(HWND window, int controlId, bool on) { EnableWindow(GetDlgItem(window, controlId), on); }
void showControl(HWND window, int controlId, int command) { ShowWindow(GetDlgItem(window, controlId), command); }
void paintMainWindow(HWND window) {
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    EndPaint(window, &paint);
}
void drawButton(HDC, HDC, ButtonKind, int, int, bool, const char*) {}
void showTaskbarProgress(HWND, uint32_t) {}
void setOnTop(HWND, uint32_t) {}
void setTransparency(HWND, uint32_t) {}
void clearTransparency(HWND) {}
void onProgressTimer(HWND) {}
