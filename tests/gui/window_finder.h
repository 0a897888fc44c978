// Finding this process's dialogs and reading their texts, for the GUI tests
// and the window benchmark alike (no test framework needed).
#pragma once

#include <windows.h>

#include <string>

// A visible dialog of this process with `caption` (any caption when null) and,
// when `owner` is given, that owner. nullptr when there is none.
HWND findDialog(const char* caption, HWND owner = nullptr);
std::string windowText(HWND window);
std::string dialogItemText(HWND dialog, int controlId);
