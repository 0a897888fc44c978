// Painting of the main window's face, and its progress repaints.
#pragma once

#include <windows.h>

#include <string>

#include "window/face_model.h"

void paintMainWindow(HWND window);
void drawButton(HDC paintDC, HDC memoryDC, ButtonKind kind, int top, int left, bool lit, const char* text);
void onProgressTimer(HWND window);

// The current-file line as the face draws it: its lead and the path in hand,
// in the UTF-16 the list-view shows for the same ANSI text.
struct ShownFileLine {
    std::wstring lead;
    std::wstring path;
};
ShownFileLine shownFileLine(const Face& face);
// The line the next paint draws; empty when the face shows none.
ShownFileLine shownFileLineNow();
