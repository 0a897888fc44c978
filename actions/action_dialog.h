// The "Duplicate File Action" dialog (1600) on one twin row.
#pragma once

#include <windows.h>

enum ActionDialogControl : int {
    BoxPathA = 1002,
    BoxSizeA = 1005,
    BoxModifiedA = 1010,
    BoxPathB = 1011,
    BoxSizeB = 1012,
    BoxModifiedB = 1013,
    ButtonOpenA = 1027,
    ButtonDeleteA = 1029,
    ButtonDeleteAllA = 1020,
    ButtonOpenB = 1030,
    ButtonDeleteB = 1032,
    ButtonDeleteAllB = 1021,
    ButtonDetailView = 1028,
    VerdictLine = 1031,
};

// Opens the dialog on the focused row while a folder search's list is idle,
// then carries out what the dialog left in runState: a detailed comparison of
// the pair or the delete-all confirmation.
void openActionDialog(HWND window);
INT_PTR CALLBACK actionDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Shows the first row from selectedRow on whose both files open (at most 100
// tries), leaving selectedRow on it. 1 when a row was shown, 0 when none.
int fillActionDialog(HWND dialog);