// The file and folder pickers of the main window, and its help page.
#pragma once

#include <windows.h>

// Returns non-zero when a file was chosen; `buffer` is a 600-byte path text.
int chooseFile(HWND owner, char* buffer, const char* filter);
// Returns 1 when a folder was chosen and written to `out`, 0 when cancelled.
int chooseFolder(HWND owner, char* out);
void openHelp();
