// Start-up and message loop.
#pragma once

#include <windows.h>

#include <cstdint>

#include "shell/platform_model.h"

// Prepares the state, refuses unsupported systems, creates and shows the main
// window. Returns false when the program must end.
bool startUp();
// Process-wide set-up before anything else: the module handle and the
// component object library (apartment-threaded, for the taskbar and the
// folder browser).
void prepareProcess();
// The system's version in Kestrow's platform codes.
PlatformCode classifyPlatform();
// Loads the icons and switch bitmaps, registers the class "KestBox", hands the
// rows' double-click and "Details" to the action dialog, opens the pause gate
// and creates and shows the main window, at the saved placement unless
// `firstRun`. Returns the window (nullptr when it could not be made).
HWND openMainWindow(uint32_t firstRun);
// Runs until the main window is gone; returns the quit code.
int runMessageLoop();
// Hands one message to the dialog manager or, when it is not a dialog
// message, to its window.
void routeMessage(MSG& message);
