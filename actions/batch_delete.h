// "Delete ALL": the confirmation (dialog 1601), the batch worker, and the word
// at the end when a file was kept or could not be removed.
#pragma once

#include <windows.h>

// Opens the confirmation over `window` for the request in runState
// (DeleteAllA or DeleteAllB); it says how many files of the column the run
// will act on and where they go. The first button starts the worker, the
// second (the default, also Enter and Esc) cancels or stops it; once the
// worker is done the list is emptied, the confirmation closes and a message
// box over `window` gives the counts of files removed and kept.
void runDeleteAll(HWND window);
