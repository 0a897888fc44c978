// Kestrow.exe entry: start up, run the message loop, end the process.
#include <windows.h>

#include "startup/startup.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (!startUp()) return 0;
    return runMessageLoop();
}
