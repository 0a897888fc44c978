// Kestrow's main window running one job from Start to its closing row, as a
// user starts it, and how long that took, how many rows the list shows and
// the process's peak private memory. Run under Wine by bench/window_report.sh.
//   bench_window_report file FILE_A FILE_B
//   bench_window_report scan FOLDER
//   bench_window_report directory FOLDER PERCENT
// A Quick Dir search at 100% followed by what a user does with its list,
// each step checked and timed (bench/window_rows.sh): the End key, a
// double-click on the last twin row and, in the action dialog, Detail View
// (after a header click that sorts by File B, and followed by Backspace, the
// way back to the twin list) or Delete ALL of column A or B in Delete or
// Recycle mode.
//   bench_window_report rows FOLDER detail
//   bench_window_report rows FOLDER A|B delete|recycle
#include <windows.h>

#include <commctrl.h>
#include <psapi.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

#include "actions/action_dialog.h"
#include "engine/base/path_text.h"
#include "engine/base/worker_thread.h"
#include "engine/job/settings.h"
#include "resources/resource_ids.h"
#include "resources/version.h"
#include "shell/gui_state.h"
#include "shell/settings.h"
#include "startup/startup.h"
#include "tests/gui/window_finder.h"
#include "window/clicks.h"
#include "window/job_control.h"
#include "window/list_view_results.h"
#include "window/main_window.h"

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

double secondsSince(DWORD started) {
    return (GetTickCount() - started) / 1000.0;
}

// Serves the window until the job in hand has ended.
void waitIdle() {
    do {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        serveMessages();
    } while (app().runState != Idle);
    resultView().refreshView();
    serveMessages();
}

unsigned long peakMegabytes() {
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof(memory);
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory));
    return static_cast<unsigned long>(memory.PeakPagefileUsage >> 20);
}

int shownRows() {
    return static_cast<int>(SendMessageA(gui().resultListView, LVM_GETITEMCOUNT, 0, 0));
}

// The text the list-view shows in a cell, asked of it as it asks its owner.
std::string shownCell(int row, int column) {
    char text[kPathTextSize] = {};
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = kPathTextSize;
    SendMessageA(gui().resultListView, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    return text;
}

int failures = 0;

void check(bool holds, const std::string& what) {
    std::printf("  %s %s\n", holds ? "ok  " : "FAIL", what.c_str());
    if (!holds) ++failures;
}

// Waits (at most ten minutes) for the dialog; nullptr when it never came.
HWND awaitDialog(const char* caption, HWND owner) {
    for (int tries = 0; tries < 60000; ++tries) {
        if (HWND found = findDialog(caption, owner)) return found;
        sleepMilliseconds(10);
    }
    return nullptr;
}

void awaitGone(HWND dialog) {
    while (IsWindow(dialog)) sleepMilliseconds(10);
}

void press(HWND dialog, int button) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
}

// The key as the user presses it on the list.
void pressKey(WORD key) {
    SetFocus(gui().resultListView);
    SendMessageA(gui().resultListView, WM_KEYDOWN, key, 1);
    SendMessageA(gui().resultListView, WM_KEYUP, key, 0xC0000001);
    resultView().refreshView();
    UpdateWindow(gui().resultListView);
    serveMessages();
}

int focusedListRow() {
    return static_cast<int>(
        SendMessageA(gui().resultListView, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
}

// A Quick Dir search at 100% with Hash on, from Start to its closing row.
void searchFolder(HWND window, const char* folder) {
    Settings& settings = app().settings;
    settings.searchMode = QuickDirMode;
    settings.useHash = 1;
    settings.matchPercent = 100;
    resetListColumns(window);
    SetWindowTextA(gui().pathBoxA, folder);
    serveMessages();
    const DWORD started = GetTickCount();
    startJob(window);
    waitIdle();
    const int rows = shownRows();
    std::printf("search: %d rows shown in %.2f s, peak private memory %lu MB\n", rows, secondsSince(started),
                peakMegabytes());
    const std::string twins = shownCell(rows - 1, 1);
    check(rows == resultView().rowCount(), "the list shows every row of the store");
    check(shownCell(rows - 1, 0) == "End", "the closing row reads End");
    check(twins == std::to_string(rows - 2) + " twins found", "the closing row counts " + twins);
}

// End, then one row up: the last twin row is focused and in view.
void scrollToLastTwin() {
    const int rows = shownRows();
    DWORD started = GetTickCount();
    pressKey(VK_END);
    const bool endShown = focusedListRow() == rows - 1;
    const double endSeconds = secondsSince(started);
    started = GetTickCount();
    pressKey(VK_UP);
    const int top = static_cast<int>(SendMessageA(gui().resultListView, LVM_GETTOPINDEX, 0, 0));
    const int page = static_cast<int>(SendMessageA(gui().resultListView, LVM_GETCOUNTPERPAGE, 0, 0));
    std::printf("End key: %.2f s, then one row up: %.2f s\n", endSeconds, secondsSince(started));
    check(endShown && focusedListRow() == rows - 2, "End focuses the closing row, Up the last twin row");
    check(top <= rows - 2 && rows - 1 < top + page + 1, "the end of the list is in view");
}

// A click on the File B header: the twin rows sorted by it, Start first, End
// last, the focused pair still focused.
void sortByFileB(HWND window) {
    const int rows = shownRows();
    const int focused = focusedListRow();
    const std::string pair = shownCell(focused, 0) + "|" + shownCell(focused, 1);
    NMLISTVIEW click = {};
    click.hdr.hwndFrom = gui().resultListView;
    click.hdr.code = LVN_COLUMNCLICK;
    click.iItem = -1;
    click.iSubItem = 1;
    const DWORD started = GetTickCount();
    SendMessageA(window, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&click));
    UpdateWindow(gui().resultListView);
    std::printf("header click on File B: %d rows sorted in %.2f s\n", rows, secondsSince(started));
    check(shownRows() == rows && shownCell(0, 0) == "Start" && shownCell(rows - 1, 0) == "End",
          "Start stays first and End last");
    check(shownCell(1, 1) <= shownCell(rows / 2, 1) && shownCell(rows / 2, 1) <= shownCell(rows - 2, 1),
          "the twin rows are in File B's order");
    const int now = focusedListRow();
    check(shownCell(now, 0) + "|" + shownCell(now, 1) == pair, "the focused pair keeps the focus");
}

// Backspace on the list after Detail View: the twin list as it was.
void backToTwins(int rows, const std::string& focusedPair) {
    SetFocus(gui().resultListView);
    const DWORD started = GetTickCount();
    PostMessageA(gui().resultListView, WM_KEYDOWN, VK_BACK, 1);
    serveMessages();
    UpdateWindow(gui().resultListView);
    std::printf("back to the twin list: %d rows in %.2f s\n", shownRows(), secondsSince(started));
    const int focused = focusedListRow();
    check(app().settings.searchMode == QuickDirMode && shownRows() == rows, "every twin row is back");
    check(focused >= 0 && shownCell(focused, 0) + "|" + shownCell(focused, 1) == focusedPair,
          "the focused pair is focused again");
}

// A click and a double-click on the focused row, as the mouse gives them;
// returns once the action dialog and whatever it asked for are done.
// `answer` runs on a thread of its own meanwhile.
void doubleClickFocused(const std::function<void()>& answer) {
    const int row = focusedListRow();
    RECT place = {LVIR_BOUNDS, 0, 0, 0};
    SendMessageA(gui().resultListView, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&place));
    const LPARAM point = MAKELPARAM(place.left + 20, place.top + 2);
    const DWORD started = GetTickCount();
    SendMessageA(gui().resultListView, WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageA(gui().resultListView, WM_LBUTTONUP, 0, point);
    UpdateWindow(gui().resultListView);
    std::printf("click on the row: %.2f s\n", secondsSince(started));
    check(focusedListRow() == row, "the clicked row has the focus");
    std::atomic<bool> answered{false};
    WorkerThread answering;
    answering.start([&] {
        answer();
        answered = true;
    });
    SendMessageA(gui().resultListView, WM_LBUTTONDBLCLK, MK_LBUTTON, point);
    // The answer may still ask the window's thread for texts.
    while (!answered) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        serveMessages();
    }
    answering.join();
}

// The action dialog on the last twin row, then Detail View of its pair.
void detailView(HWND window) {
    const int row = focusedListRow();
    const std::string pathA = shownCell(row, 0);
    const std::string pathB = shownCell(row, 1);
    std::string shownA, shownB;
    DWORD started = GetTickCount();
    double dialogSeconds = -1;
    doubleClickFocused([&] {
        HWND dialog = awaitDialog("Duplicate File Action", window);
        if (dialog == nullptr) return;
        dialogSeconds = secondsSince(started);
        shownA = dialogItemText(dialog, BoxPathA);
        shownB = dialogItemText(dialog, BoxPathB);
        started = GetTickCount();
        press(dialog, ButtonDetailView);
        awaitGone(dialog);
    });
    waitIdle();
    const int rows = shownRows();
    std::printf("action dialog up in %.2f s; Detail View: %d rows in %.2f s\n", dialogSeconds, rows,
                secondsSince(started));
    check(shownA == pathA && shownB == pathB, "the action dialog shows the pair of the row");
    check(shownCell(0, 0) == "Start" && shownCell(rows - 1, 0) == "End" && shownCell(rows - 1, 2) == "Same",
          "Detail View compares the pair: Start, End, Same");
}

// Delete ALL of `column` from the action dialog, confirmed; prints the
// closing message, if any.
void deleteAll(HWND window, char column, uint32_t mode) {
    app().settings.batchDeleteMode = mode;
    std::string outcome = "(none)";
    DWORD started = GetTickCount();
    double batchSeconds = -1;
    doubleClickFocused([&] {
        HWND dialog = awaitDialog("Duplicate File Action", window);
        if (dialog == nullptr) return;
        press(dialog, column == 'A' ? ButtonDeleteAllA : ButtonDeleteAllB);
        awaitGone(dialog);
        HWND confirmation = awaitDialog(KESTROW_TITLE, window);
        if (confirmation == nullptr) return;
        started = GetTickCount();
        press(confirmation, IDOK);
        awaitGone(confirmation);
        batchSeconds = secondsSince(started);
        // The closing message, when the batch kept a file or could not remove one.
        for (int tries = 0; tries < 100 && app().runState == Idle; ++tries) {
            if (HWND message = findDialog(KESTROW_TITLE, window)) {
                outcome = dialogItemText(message, 0xFFFF);
                press(message, IDOK);
                awaitGone(message);
                break;
            }
            sleepMilliseconds(10);
        }
    });
    std::printf("Delete ALL, column %c, %s mode: %.2f s, closing message: %s\n", column,
                mode == DeleteMode ? "Delete" : "Recycle", batchSeconds, outcome.c_str());
    check(shownRows() == 0, "the list is empty afterwards");
}

int runRows(HWND window, int argc, char** argv) {
    searchFolder(window, argv[2]);
    scrollToLastTwin();
    if (argc == 4 && std::strcmp(argv[3], "detail") == 0) {
        sortByFileB(window);
        const int rows = shownRows();
        const int focused = focusedListRow();
        const std::string pair = shownCell(focused, 0) + "|" + shownCell(focused, 1);
        detailView(window);
        backToTwins(rows, pair);
    } else if (argc == 5) {
        deleteAll(window, argv[3][0], std::strcmp(argv[4], "recycle") == 0 ? RecycleMode : DeleteMode);
    }
    return failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const bool fileMode = argc == 4 && std::strcmp(argv[1], "file") == 0;
    const bool directoryMode = argc == 4 && std::strcmp(argv[1], "directory") == 0;
    const bool rowsMode = (argc == 4 || argc == 5) && std::strcmp(argv[1], "rows") == 0;
    if (!fileMode && !directoryMode && !rowsMode && !(argc == 3 && std::strcmp(argv[1], "scan") == 0)) {
        std::fputs(
            "usage: bench_window_report file FILE_A FILE_B | scan FOLDER | directory FOLDER PERCENT"
            " | rows FOLDER detail"
            " | rows FOLDER A|B delete|recycle\n",
            stderr);
        return 2;
    }
    prepareProcess();
    app().reportNoMemory = [] { std::fputs("Not enough memory\n", stderr); };
    useTemporaryFolders();
    const uint32_t firstRun = loadSettings();
    Settings& settings = app().settings;
    settings.searchMode = fileMode ? FileMode : directoryMode ? DirectoryMode : QuickDirMode;
    settings.useHash = 1;
    settings.matchPercent = directoryMode ? static_cast<uint32_t>(std::atoi(argv[3])) : 95;
    gui().osGeneration = osGenerationOf(classifyPlatform());
    HWND window = openMainWindow(firstRun);
    if (rowsMode) {
        const int outcome = runRows(window, argc, argv);
        DestroyWindow(window);
        return outcome;
    }
    SetWindowTextA(gui().pathBoxA, argv[2]);
    if (fileMode) SetWindowTextA(gui().pathBoxB, argv[3]);
    serveMessages();

    const DWORD started = GetTickCount();
    startJob(window);
    waitIdle();
    const double elapsed = secondsSince(started);
    const int shown = shownRows();
    std::printf("window: %d rows shown in %.2f s, peak private memory %lu MB\n", shown, elapsed,
                peakMegabytes());
    DestroyWindow(window);
    return shown == resultView().rowCount() ? 0 : 1;
}
