// Start-up, message loop, main window procedure and close path.
#pragma once

#include <windows.h>

// Prepares the state, refuses unsupported systems, creates and shows the main
// window. Returns false when the program must end.
bool startUp();
int runMessageLoop();
LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
