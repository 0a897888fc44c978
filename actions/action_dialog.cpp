// Placeholder bodies; the action dialog replaces them.
#include "actions/action_dialog.h"

void openActionDialog(HWND) {}
INT_PTR CALLBACK actionDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
int fillActionDialog(HWND) { return 0; }
int shellDelete(HWND, const char*, unsigned) { return 0; }
