// The window's one way up to what the user does with a listed pair: the
// duplicate file actions sit a layer above the window, so a double-click on a
// row and the "Details" command call this hook, which start-up points at the
// action dialog. Until then they do nothing.
#pragma once

#include <windows.h>

using RowActionsOpener = void (*)(HWND window);
inline RowActionsOpener openRowActions = [](HWND) {};
