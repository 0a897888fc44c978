// The shell's delete of files, as the action dialog and Delete ALL use it.
#pragma once

#include <windows.h>

// Shell delete of a double-NUL path list. 1 only when the shell reported no
// error and did not mark the operation aborted (declined or cancelled).
int shellDelete(HWND owner, const char* pathList, unsigned flags);
