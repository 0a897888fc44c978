// Hot zones, clicks, job control and file drop of the main window.
#pragma once

#include <windows.h>

#include <cstdint>

void trackHover(HWND window, LPARAM position);
void handleClick(HWND window);
void handleDrop(HWND window, HDROP drop);
void startJob(HWND window);
void abortJob();
void togglePause(HWND window);
// Returns non-zero when a file was chosen; `buffer` is a 600-byte path text.
int chooseFile(HWND owner, char* buffer, const char* filter);
// Returns 1 when a folder was chosen and written to `out`, 0 when cancelled.
int chooseFolder(HWND owner, char* out);
void openHelp();
