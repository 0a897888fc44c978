// "Delete ALL": the confirmation (dialog 1601), the batch worker, and the word
// at the end when a file was kept or could not be removed.
#pragma once

#include <windows.h>

// Opens the confirmation over `window` for the request in runState
// (DeleteAllA or DeleteAllB). The first button starts the worker, the second
// (or Esc) cancels or stops it; once the worker is done the list is emptied,
// the confirmation closes and, when the batch kept a file or could not remove
// one, a message box over `window` gives the counts.
void runDeleteAll(HWND window);
