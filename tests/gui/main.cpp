// kestrow_gui_tests: the GUI tests run in-process on the main thread, which
// owns the main window and its dialogs, as in the program.
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <cstring>

namespace {

bool underWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

// Without a window manager on the test display, Wine waits two seconds for
// one whenever a managed window is hidden or destroyed. Unmanaged windows
// close at once. Returns true when the setting had to be changed, which
// takes effect in the next process.
bool switchWineToUnmanagedWindows() {
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\X11 Driver", 0, nullptr, 0, KEY_READ | KEY_WRITE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    char value[8] = {};
    DWORD size = sizeof(value);
    bool unmanaged = RegQueryValueExA(key, "Managed", nullptr, nullptr, reinterpret_cast<BYTE*>(value),
                                      &size) == ERROR_SUCCESS &&
                     std::strcmp(value, "N") == 0;
    bool changed = !unmanaged && RegSetValueExA(key, "Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>("N"),
                                                2) == ERROR_SUCCESS;
    RegCloseKey(key);
    return changed;
}

int runAgain() {
    char program[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(program, GetCommandLineA(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return 1;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

}  // namespace

int main(int argc, char** argv) {
    if (underWine() && switchWineToUnmanagedWindows()) return runAgain();
    ::testing::InitGoogleTest(&argc, argv);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    return RUN_ALL_TESTS();
}
