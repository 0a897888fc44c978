// Main window children, layout, list columns and painting.
#pragma once

#include <windows.h>

#include <cstdint>

enum ButtonKind : uint32_t {
    SmallButton = 0,
    LargeButton = 1,
    SwitchStraight = 2,
    SwitchMirrored = 3,
    SwitchTurned = 4,
};

void createChildWindows(HWND window);
void layoutChildren(HWND window, LPARAM size);
void resetListColumns(HWND window);
void updateControls(HWND window);
void addTooltip(HWND window, int controlId, const char* text);
void enableControl(HWND window, int controlId, bool on);
void showControl(HWND window, int controlId, int command);
void paintMainWindow(HWND window);
void drawButton(HDC paintDC, HDC memoryDC, ButtonKind kind, int top, int left, bool lit, const char* text);
void showTaskbarProgress(HWND window, uint32_t percent);
void setOnTop(HWND window, uint32_t on);
void setTransparency(HWND window, uint32_t alpha);
void clearTransparency(HWND window);
void onProgressTimer(HWND window);
