// The window-side half of the program's one state record: handles, hover
// flags, prompt inputs and folders. The engine half is AppState.
#pragma once

#include <windows.h>

#include <cstdint>

#include "engine/job/app_state.h"
#include "shell/hover_flags.h"

// The hover flags (HoverFlags) are set only by pointer tracking.
struct GuiState : HoverFlags {
    HINSTANCE instance = nullptr;
    HWND mainWindow = nullptr;
    HWND pathBoxA = nullptr;        // edit control 1002
    HWND pathBoxB = nullptr;        // edit control 1013
    HWND resultListView = nullptr;  // list-view control 0
    HWND tooltipWindow = nullptr;
    HICON smallIcon = nullptr;
    HICON largeIcon = nullptr;
    HBITMAP switchBitmap = nullptr;
    HBITMAP switchHotBitmap = nullptr;
    HFONT pathBoxFont = nullptr;
    // The path box that had the keyboard focus when a job disabled the boxes;
    // it gets the focus back when they are enabled again.
    HWND boxBeforeJob = nullptr;
    uint32_t osGeneration = 0;
    // The client size in 96-DPI pixels, and the DPI the window is shown at.
    uint32_t clientWidth = 0;
    uint32_t clientHeight = 0;
    uint32_t dpi = 96;

    uint32_t dropToggle = 0;  // File mode: 0 next drop to box 1002, 1 to box 1013
    uint32_t aboutOpen = 0;
    int32_t selectedRow = -1;  // row the action dialog shows

    PathText programDirectory{};  // ends with "\" or is empty
    PathText dataDirectory{};
};

// The program's one instance of each half.
AppState& app();
GuiState& gui();
