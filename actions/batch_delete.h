// "Delete ALL": the confirmation (dialog 1601) and the batch worker.
#pragma once

#include <windows.h>

// Opened with runState DeleteAllA or DeleteAllB; the first button starts the
// worker, the second (or Esc) cancels or stops it, and once the worker is done
// the list is emptied and the confirmation closes.
INT_PTR CALLBACK deleteAllConfirmProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Thread routine: recycles, deletes or moves every 100% file of the chosen
// column, showing each path in control 850 of `dialog`.
DWORD WINAPI batchDelete(LPVOID dialog);
