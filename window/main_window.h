// Main window children, layout and list columns.
#pragma once

#include <windows.h>

#include <cstdint>

#include "window/face_model.h"

constexpr int kPathBoxAId = 1002;
constexpr int kPathBoxBId = 1013;
constexpr int kResultListId = 0;
// Posted by a worker's updateControls hook: the window's own thread then
// brings its children in line with the run state.
constexpr UINT kUpdateControlsMessage = WM_APP + 1;
// Posted by a job's thread once the job is over, with its JobEnd in wParam.
constexpr UINT kJobEndedMessage = WM_APP + 2;

// Creates the two path boxes, the list and the tooltip, hands the list and the
// controls hook (which posts kUpdateControlsMessage) to the engine and applies
// the window settings.
void createChildWindows(HWND window);
void layoutChildren(HWND window, LPARAM size);
void resetListColumns(HWND window);
// Shows or hides box 1013 and enables the boxes only while idle. The keyboard
// focus leaves a box that is disabled for the main window, and comes back to
// it when the boxes are enabled again.
void updateControls(HWND window);
// The main window got the keyboard focus: while idle it goes on to the box
// that last had it before a job, else to box 1002.
void focusPathBox(HWND window);
void addTooltip(HWND window, int controlId, const char* text);
void enableControl(HWND window, int controlId, bool on);
void showControl(HWND window, int controlId, int command);
// "Tahoma", 15 pixels high at 96 DPI (or `height`), of the given weight: the
// path boxes' and the face's font. The face paints at 96 DPI and is scaled as
// a whole.
constexpr int kFaceFontHeight = 15;
HFONT createFaceFont(int weight, uint32_t dpi = 96, int height = kFaceFontHeight);
// The window moved to a monitor of another DPI: takes the new DPI and the
// place the system suggests (the message's wParam and lParam), and re-lays out.
void onDpiChanged(HWND window, WPARAM wParam, LPARAM lParam);
// Asks for a repaint of `rect`, erasing its background when `erase`.
void invalidateArea(HWND window, const Rect& rect, bool erase);
// Repaints everything above the list, background included.
void invalidateTopBand(HWND window);
