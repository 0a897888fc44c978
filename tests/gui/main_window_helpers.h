// Driving the main window by messages, as a user would with the pointer, and
// reading back what it shows.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "engine/rows/result_list.h"
#include "tests/gui/gui_harness.h"

// Points inside the painted buttons, from the current client width.
POINT startAbortPoint();
POINT aboutPausePoint();
POINT helpPoint();
POINT chooseAPoint();
POINT switchPoint();

// Moves the pointer over no zone until no button is lit.
void darkenAll(HWND window);
// Darkens every button, then hovers `point` and releases the left button there.
void clickAt(HWND window, POINT point);
void hoverAt(HWND window, POINT point);

// Serves the queue until the job has ended and the window shows it.
bool waitIdle(DWORD timeoutMs = 60000);

int listRowCount();
std::string listCell(int row, int column);
// The cell as the list-view shows it, asked of the control itself.
std::string shownCell(int row, int column);
// Every cell the list-view shows, against the texts of `expected`, as the
// command line prints them from its own run of the same job.
void expectShownRows(const std::vector<ResultRow>& expected);
std::string columnTitle(int column);

// Real input through the system's queue, to the window that has the focus:
// `keys` pressed in order and released the other way round.
void pressKeys(std::initializer_list<WORD> keys);
// Moves the pointer to `point` (screen coordinates) and clicks the left button
// there, with `heldKey` (VK_CONTROL, say) held down when it is given.
void clickScreen(POINT point, WORD heldKey = 0);
// The middle of the list's row `row`, on the screen.
POINT rowPoint(int row);
// The middle of the list's cell, on the screen.
POINT cellPoint(int row, int column);
// The middle of the list's header of `column`, on the screen.
POINT headerPoint(int column);
// The clipboard's ANSI text; empty when it holds none.
std::string clipboardText();
// Tells the window it is now on a monitor of `dpi`, suggesting its 520 x 400
// size at that DPI, as the system does when the window moves there.
void moveToDpi(HWND window, uint32_t dpi);
// Makes `window` the foreground window, which receives the keyboard input.
bool bringToFront(HWND window);

void setBox(HWND window, int controlId, const std::string& text);
std::string boxText(HWND window, int controlId);

// A drop handle as the shell makes it: DROPFILES followed by the ANSI names.
HDROP makeDrop(const std::vector<std::string>& names);
// Whether DragFinish has given the drop handle back.
bool dropReleased(HDROP drop);
// Sends WM_DROPFILES with a drop of `names`; returns whether it was released.
bool dropNames(HWND window, const std::vector<std::string>& names);

void writeFile(const std::string& path, const std::string& content);
// A folder of `count` identical files under `parent`; every pair is a twin, so
// a search of it writes rows for a while. Returns the folder, ending with "\".
std::string makeTwinFolder(const std::string& parent, int count);
// In a directory mode: starts a search of a folder of 40 twins paused, so it
// holds in its walk.
void startHeldSearch(HWND window, const std::string& parent);
// The pixels of a client rectangle as drawn on the window's surface.
std::vector<uint32_t> captureClient(HWND window, const RECT& area);
// The pixels of the client area above the list.
std::vector<uint32_t> captureTopBand(HWND window);
// The About/Pause/Resume button as the window should show it, dark, drawn on
// the window background.
std::vector<uint32_t> expectedAboutPauseButton(const char* text);
// The About/Pause/Resume button as the window shows it.
std::vector<uint32_t> shownAboutPauseButton(HWND window);
// The same after a full repaint of the current state.
std::vector<uint32_t> repaintAndCaptureTopBand(HWND window);
