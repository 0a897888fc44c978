// The right-click menu and the commands it sends.
#pragma once

#include <windows.h>

// Builds the popup menu from the current settings and state (consuming a
// pending right-click request); the caller destroys it.
HMENU buildContextMenu();
// Builds the menu, tracks it at the pointer and destroys it; the chosen
// command arrives later as WM_COMMAND.
void showContextMenu(HWND window);
void handleCommand(HWND window, WPARAM command);
