// The result list's selection kept cheap at millions of rows. Some list-view
// implementations (Wine's among them) clear the selection of an owner-data
// list by visiting every row, so once a row of a long list was selected each
// click and each arrow key took seconds. A plain click or a key that moves
// the focus first lets go of the focused row's selection, which costs that
// row alone: the list-view then finds nothing to clear and selects the new
// row as before.
#pragma once

#include <windows.h>

// Gives `listView` this behaviour; once, when the list is made.
void keepSelectionCheap(HWND listView);
