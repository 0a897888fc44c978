// Placeholder bodies; start-up and the window procedure replace them.
#include "shell/startup.h"

bool startUp() { return false; }
int runMessageLoop() { return 0; }
LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}
