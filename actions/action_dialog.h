// The "Duplicate File Action" dialog (1600) on one twin row.
#pragma once

#include <windows.h>

void openActionDialog(HWND window);
INT_PTR CALLBACK actionDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
int fillActionDialog(HWND dialog);
// Shell delete of a double-NUL path list; 1 when the shell did not report
// the operation as aborted.
int shellDelete(HWND owner, const char* pathList, unsigned flags);
