// The twin list kept while Detail View shows one of its pairs in "File" mode:
// its rows, their order and selection, the folder, mode and match it came
// from. "Back to the twin list" (Alt+Left, or Backspace on the list) brings
// it back as it was.
#pragma once

#include <windows.h>

// Keeps the list that is shown now; the list-view is left empty.
void keepTwinList();
bool twinListKept();
// While no job runs: the kept list, its columns, folder, mode and match
// return, with the rows selected and focused as they were, and the
// comparison's rows are dropped. Does nothing when no list is kept.
void bringBackTwinList(HWND window);
// A turn of the mode switch leaves Detail View behind.
void forgetKeptTwinList();
