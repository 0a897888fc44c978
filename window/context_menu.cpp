// Placeholder bodies; the context menu replaces them.
#include "window/context_menu.h"

void showContextMenu(HWND) {}
void handleCommand(HWND, WPARAM) {}
