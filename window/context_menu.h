// The right-click menu and the commands it sends.
#pragma once

#include <windows.h>

void showContextMenu(HWND window);
void handleCommand(HWND window, WPARAM command);
