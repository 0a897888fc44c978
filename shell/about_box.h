// The About box (dialog 1025): title, version and the program's folders.
#pragma once

#include <windows.h>

// Shows the box modally over `owner`; sets aboutOpen while it is shown.
void showAboutBox(HWND owner);
