// Owners of the kernel handles the Windows code opens by hand: a file opened
// with CreateFileA and a folder search of FindFirstFileA. Only Windows code
// (the *_win32.cpp files, shell/, window/, actions/) includes this.
#pragma once

#include <windows.h>

#include "engine/base/owned.h"

struct FileHandleKind {
    using Type = HANDLE;
    static HANDLE none() { return INVALID_HANDLE_VALUE; }
    static void giveBack(HANDLE handle) { CloseHandle(handle); }
};
using OwnedFileHandle = Owned<FileHandleKind>;

struct SearchHandleKind {
    using Type = HANDLE;
    static HANDLE none() { return INVALID_HANDLE_VALUE; }
    static void giveBack(HANDLE search) { FindClose(search); }
};
using OwnedSearchHandle = Owned<SearchHandleKind>;
