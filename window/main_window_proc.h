// The main window's procedure, registered with its window class at start-up.
#pragma once

#include <windows.h>

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
