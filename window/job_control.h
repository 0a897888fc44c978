// Start, Abort, Pause and Resume of a job from the main window.
#pragma once

#include <windows.h>

#include <functional>

void startJob(HWND window);
// A job's outcome (a JobEnd) has reached the window: "Not enough memory" when
// memory ran out, and the path boxes for the idle state.
void onJobEnded(HWND window, WPARAM end);
// "Not enough memory", caption "Kestrow.exe", no owner; on the window's thread.
void showNoMemoryMessage();
void abortJob();
void togglePause(HWND window);

// Starts the worker thread of a job (nobody joins it); false when no thread
// could be had. A test may replace it to see what happens then.
using WorkerStarter = bool (*)(std::function<void()> body);
extern WorkerStarter startWorkerThread;
