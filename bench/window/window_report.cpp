// Kestrow's main window running one job from Start to its closing row, as a
// user starts it, and how long that took, how many rows the list shows and
// the process's peak private memory. Run under Wine by bench/window_report.sh.
//   bench_window_report file FILE_A FILE_B
//   bench_window_report scan FOLDER
#include <windows.h>

#include <psapi.h>

#include <cstdio>
#include <cstring>

#include "engine/path_text.h"
#include "shell/gui_state.h"
#include "shell/settings.h"
#include "startup/startup.h"
#include "window/clicks.h"
#include "window/job_control.h"
#include "window/list_view_results.h"

namespace {

void serveMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) routeMessage(message);
}

// A settings folder of its own, so the bench never reads or writes the user's.
void useTemporaryFolders() {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    std::strcat(folder, "kestrow-bench\\");
    CreateDirectoryA(folder, nullptr);
    copyPathText(gui().programDirectory, folder);
    copyPathText(gui().dataDirectory, folder);
}

}  // namespace

int main(int argc, char** argv) {
    const bool fileMode = argc == 4 && std::strcmp(argv[1], "file") == 0;
    if (!fileMode && !(argc == 3 && std::strcmp(argv[1], "scan") == 0)) {
        std::fputs("usage: bench_window_report file FILE_A FILE_B | scan FOLDER\n", stderr);
        return 2;
    }
    prepareProcess();
    app().reportNoMemory = [] { std::fputs("Not enough memory\n", stderr); };
    useTemporaryFolders();
    const uint32_t firstRun = loadSettings();
    Settings& settings = app().settings;
    settings.searchMode = fileMode ? FileMode : QuickDirMode;
    settings.useHash = 1;
    settings.matchPercent = 95;
    gui().osGeneration = osGenerationOf(classifyPlatform());
    HWND window = openMainWindow(firstRun);
    SetWindowTextA(gui().pathBoxA, argv[2]);
    if (fileMode) SetWindowTextA(gui().pathBoxB, argv[3]);
    serveMessages();

    const DWORD started = GetTickCount();
    startJob(window);
    do {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        serveMessages();
    } while (app().runState != Idle);
    resultView().refreshView();
    serveMessages();
    const DWORD elapsed = GetTickCount() - started;

    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof(memory);
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory));
    const int shown = static_cast<int>(SendMessageA(gui().resultListView, LVM_GETITEMCOUNT, 0, 0));
    std::printf("window: %d rows shown in %.2f s, peak private memory %lu MB\n", shown, elapsed / 1000.0,
                static_cast<unsigned long>(memory.PeakPagefileUsage >> 20));
    DestroyWindow(window);
    return shown == resultView().rowCount() ? 0 : 1;
}
