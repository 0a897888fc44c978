// Placeholder bodies; the batch delete replaces them.
#include "actions/batch_delete.h"

INT_PTR CALLBACK deleteAllConfirmProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
DWORD WINAPI batchDelete(LPVOID) { return 0; }
