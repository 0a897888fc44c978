// The file dialog, the folder browser and the help page.
#include "window/pickers.h"

#include <windows.h>

#include <commdlg.h>
#include <shlobj.h>

#include "resources/version.h"
#include "shell/gui_state.h"
#include "window/clicks.h"

namespace {

constexpr DWORD kOpenFileRecordSize = 76;  // the record without the later extension fields
constexpr DWORD kOpenFileFlags =
    OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_EXPLORER | OFN_LONGNAMES;
constexpr UINT kBrowseFlags = BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN | BIF_EDITBOX;

// The dialog starts from `buffer` when it names a file that opens, otherwise
// from the user's documents folder.
void startFromOpenableFile(char* buffer) {
    HANDLE file =
        CreateFileA(buffer, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        return;
    }
    SHGetSpecialFolderPathA(nullptr, buffer, CSIDL_PERSONAL, FALSE);
}

}  // namespace

int chooseFile(HWND owner, char* buffer, const char* filter) {
    startFromOpenableFile(buffer);
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = kOpenFileRecordSize;
    dialog.hwndOwner = owner;
    dialog.hInstance = gui().instance;
    dialog.lpstrFilter = filter;
    dialog.lpstrFile = buffer;
    dialog.nMaxFile = kPathTextSize;
    dialog.lpstrTitle = KESTROW_TITLE;
    dialog.Flags = kOpenFileFlags;
    return GetOpenFileNameA(&dialog);
}

// A confirmed item without a file-system path (which the browser should not
// offer) counts as cancelled: `out` is written only with a real folder.
int chooseFolder(HWND owner, char* out) {
    BROWSEINFOA browse = {};
    browse.hwndOwner = owner;
    browse.lpszTitle = "Directory to look in:";
    browse.ulFlags = kBrowseFlags;
    LPITEMIDLIST item = SHBrowseForFolderA(&browse);
    if (item == nullptr) return 0;
    char folder[MAX_PATH] = "";
    const bool found = SHGetPathFromIDListA(item, folder) != FALSE;
    CoTaskMemFree(item);
    return found && copyPathText(out, folder) ? 1 : 0;
}

void openHelp() {
    PathText page;
    if (!joinPathText(page, gui().programDirectory, KESTROW_HELP_FILE)) return;
    ShellExecuteA(nullptr, nullptr, page, nullptr, nullptr, SW_SHOWNORMAL);
}
