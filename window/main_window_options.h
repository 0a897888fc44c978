// The main window's taskbar progress, always-on-top and transparency.
#pragma once

#include <windows.h>

#include <cstdint>

void showTaskbarProgress(HWND window, uint32_t percent);
void setOnTop(HWND window, uint32_t on);
void setTransparency(HWND window, uint32_t alpha);
void clearTransparency(HWND window);
