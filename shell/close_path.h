// Closing the main window: at once when idle (settings saved), after a
// confirmed abort once the job has wound down (settings not saved).
#pragma once

#include <windows.h>

constexpr UINT_PTR kProgressTimer = 1;
constexpr UINT_PTR kCloseTimer = 2;

void requestClose(HWND window);
// Timer 2: ends the program once the aborted job reports Idle.
void onCloseTimer(HWND window);
