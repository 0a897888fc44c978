// Hot zones and clicks of the main window.
#pragma once

#include <windows.h>

#include "window/geometry_model.h"

void trackHover(HWND window, LPARAM position);
void handleClick(HWND window);

// The hover flags of the window's state, as the geometry functions take them.
HoverFlags& hoverFlags();
