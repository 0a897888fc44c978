// "Delete ALL": the confirmation (dialog 1601) and the batch worker.
#pragma once

#include <windows.h>

INT_PTR CALLBACK deleteAllConfirmProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
DWORD WINAPI batchDelete(LPVOID dialog);
