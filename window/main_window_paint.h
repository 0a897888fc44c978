// Painting of the main window's face, and its progress repaints.
#pragma once

#include <windows.h>

#include "window/face_model.h"

void paintMainWindow(HWND window);
void drawButton(HDC paintDC, HDC memoryDC, ButtonKind kind, int top, int left, bool lit, const char* text);
void onProgressTimer(HWND window);
