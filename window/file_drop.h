// Files and folders dropped on the main window.
#pragma once

#include <windows.h>

// Puts the first dropped name into a path box (files alternate between the two
// boxes in File mode, folders go to box 1002 in the directory modes) and
// releases the drop. Only while idle.
void handleDrop(HWND window, HDROP drop);
// Releases a drop that is refused (one that arrives while a job runs) without
// reading it.
void discardDrop(HDROP drop);
