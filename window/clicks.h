// Hot zones, clicks, job control and file drop of the main window.
#pragma once

#include <windows.h>

#include <cstdint>

#include "window/file_drop.h"
#include "window/geometry_model.h"

void trackHover(HWND window, LPARAM position);
void handleClick(HWND window);
void startJob(HWND window);
void abortJob();
void togglePause(HWND window);
// Returns non-zero when a file was chosen; `buffer` is a 600-byte path text.
int chooseFile(HWND owner, char* buffer, const char* filter);
// Returns 1 when a folder was chosen and written to `out`, 0 when cancelled.
int chooseFolder(HWND owner, char* out);
void openHelp();

// The hover flags of the window's state, as the geometry functions take them.
HoverFlags& hoverFlags();

// Starts the worker thread of a job; returns its handle or nullptr. A test may
// replace it to see what happens when no thread can be made.
using WorkerStarter = HANDLE (*)(LPTHREAD_START_ROUTINE body, void* argument);
extern WorkerStarter startWorkerThread;
