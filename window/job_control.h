// Start, Abort, Pause and Resume of a job from the main window.
#pragma once

#include <windows.h>

void startJob(HWND window);
void abortJob();
void togglePause(HWND window);

// Starts the worker thread of a job; returns its handle or nullptr. A test may
// replace it to see what happens when no thread can be made.
using WorkerStarter = HANDLE (*)(LPTHREAD_START_ROUTINE body, void* argument);
extern WorkerStarter startWorkerThread;
