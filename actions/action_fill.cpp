// Filling the action dialog from a row of the result list.
#include <cstring>

#include "actions/action_dialog.h"
#include "engine/base/owned_win32.h"
#include "engine/rows/result_list.h"
#include "shell/gui_state.h"
#include "window/main_window.h"

namespace {

constexpr int kMaxTries = 100;

// Last-write time as the file manager shows it: local time, then short date.
void showModified(HWND dialog, int box, const FILETIME& written) {
    FILETIME local{};
    SYSTEMTIME time{};
    FileTimeToLocalFileTime(&written, &local);
    FileTimeToSystemTime(&local, &time);
    char timeText[kPathTextSize] = {};
    char dateText[kPathTextSize] = {};
    GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &time, nullptr, timeText, kPathTextSize);
    GetDateFormatA(LOCALE_USER_DEFAULT, 0, &time, nullptr, dateText, kPathTextSize);
    char text[kPathTextSize] = {};
    joinPathText(text, timeText, " ", dateText);
    SetDlgItemTextA(dialog, box, text);
}

// Puts a cell's path in `pathBox` and the file's size and date in the two boxes
// beside it; false when the cell is empty or the file does not open for reading.
bool showFile(HWND dialog, int row, int column, int pathBox, int sizeBox, int modifiedBox) {
    char path[kPathTextSize];
    if (app().results->getCell(row, column, path) == 0) return false;
    SetDlgItemTextA(dialog, pathBox, path);
    const OwnedFileHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    SetDlgItemInt(dialog, sizeBox, GetFileSize(file.get(), nullptr), FALSE);
    FILETIME written{};
    GetFileTime(file.get(), nullptr, nullptr, &written);
    showModified(dialog, modifiedBox, written);
    return true;
}

void showVerdict(HWND dialog, int row) {
    char percent[kPathTextSize];
    app().results->getCell(row, 2, percent);
    char verdict[kPathTextSize] = {};
    joinPathText(verdict, "These files were found to be ", percent, "% the same.");
    SetDlgItemTextA(dialog, VerdictLine, verdict);
    enableControl(dialog, ButtonDetailView, parseDecimal(percent) != 100);
}

}  // namespace

int fillActionDialog(HWND dialog) {
    int32_t& row = gui().selectedRow;
    for (int tries = 0; tries < kMaxTries; ++tries, ++row) {
        if (showFile(dialog, row, 0, BoxPathA, BoxSizeA, BoxModifiedA) &&
            showFile(dialog, row, 1, BoxPathB, BoxSizeB, BoxModifiedB)) {
            showVerdict(dialog, row);
            return 1;
        }
    }
    return 0;
}
