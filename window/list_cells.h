// The path cells of a folder search's list: drawn cut in the middle so that
// the file name stays in view ("C:\data\...\copy1.bin"), and a tip with the
// whole path over a cell shown cut.
#pragma once

#include <windows.h>

#include <commctrl.h>

// Answers the list's NM_CUSTOMDRAW: File A and File B cells of the directory
// modes are drawn here, every other cell by the list-view.
LRESULT drawListCell(NMLVCUSTOMDRAW& draw);
// Registers the list with the window's tooltip; once, when the list is made.
void addCellTips(HWND window, HWND list);
// Answers the tooltip's TTN_GETDISPINFOA for the list: the whole text of the
// cell under the pointer when the cell shows it cut, no tip otherwise. False
// for a request about another tool.
bool fillCellTip(NMTTDISPINFOA& request);
// The pointer moved over the list (WM_MOUSEMOVE's lParam): over another cell
// the tip goes, to come back with that cell's text.
void trackCellTip(HWND list, LPARAM position);
