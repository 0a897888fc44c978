// The file and folder pickers of the main window, and its help page.
#pragma once

#include <windows.h>

// Returns non-zero when a file was chosen; `buffer` is a 600-byte path text:
// on the way in the file (or folder) the dialog starts at, on the way out the
// file chosen.
int chooseFile(HWND owner, char* buffer, const char* filter);
// Returns 1 when a folder was chosen and written to `out`, 0 when cancelled.
// The browser starts at the folder `out` holds on the way in, if any.
int chooseFolder(HWND owner, char* out);
void openHelp();
