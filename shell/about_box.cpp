// Placeholder body; the About box replaces it.
#include "shell/about_box.h"

void showAboutBox(HWND) {}
