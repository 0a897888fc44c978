// The DPI of the main window's screen, read where the system offers it.
#pragma once

#include <windows.h>

#include <cstdint>

// The DPI of the monitor `window` is on (Windows 10 1607 and later), else the
// system's; 96 where neither is known.
uint32_t windowDpi(HWND window);
// The system's DPI, the one a new window opens at.
uint32_t systemDpi();
