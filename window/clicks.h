// Hot zones and clicks of the main window.
#pragma once

#include <windows.h>

#include "window/geometry_model.h"

void trackHover(HWND window, LPARAM position);
// A left-button release at `position` (the message's lParam) acts on the zone
// under that point, whatever was lit before.
void handleClick(HWND window, LPARAM position);
// Acts as a click on `zone` would, where such a click is possible now.
void actOnZone(HWND window, Zone zone);

// The hover flags of the window's state, as the geometry functions take them.
HoverFlags& hoverFlags();
