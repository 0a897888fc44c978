// The file dialog, the folder browser and the help page.
#include "window/pickers.h"

#include <windows.h>

#include <commdlg.h>
#include <shlobj.h>

#include <string>

#include "engine/base/owned_win32.h"
#include "resources/version.h"
#include "shell/gui_state.h"

namespace {

constexpr DWORD kOpenFileRecordSize = 76;  // the record without the later extension fields
constexpr DWORD kOpenFileFlags =
    OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_EXPLORER | OFN_LONGNAMES;
constexpr UINT kBrowseFlags = BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN | BIF_EDITBOX;

// The dialog starts from `buffer` when it names a file that opens, otherwise
// from the user's documents folder.
void startFromOpenableFile(char* buffer) {
    const OwnedFileHandle file(
        CreateFileA(buffer, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) return;
    SHGetSpecialFolderPathA(nullptr, buffer, CSIDL_PERSONAL, FALSE);
}

// Why ShellExecuteA could not open the page, from its result code.
const char* helpFailureReason(INT_PTR code) {
    switch (code) {
        case 0:
        case SE_ERR_OOM: return "There is not enough memory.";
        case SE_ERR_FNF:
        case SE_ERR_PNF: return "The file was not found. Keep it beside " KESTROW_EXE_NAME ".";
        case SE_ERR_ACCESSDENIED:
        case SE_ERR_SHARE: return "Access to the file was denied.";
        case SE_ERR_NOASSOC:
        case SE_ERR_ASSOCINCOMPLETE: return "No program is set up to open web pages.";
        default: return "The program set up to open web pages did not start.";
    }
}

void reportHelpFailure(const char* page, const char* reason) {
    const std::string text = std::string("The help page could not be opened:\n") + page + "\n\n" + reason;
    MessageBoxA(gui().mainWindow, text.c_str(), KESTROW_TITLE, MB_OK | MB_ICONWARNING);
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
    if (!joinPathText(page, gui().programDirectory, KESTROW_HELP_FILE)) {
        reportHelpFailure(KESTROW_HELP_FILE, "Its folder's path is too long.");
        return;
    }
    const INT_PTR code =
        reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, nullptr, page, nullptr, nullptr, SW_SHOWNORMAL));
    if (code <= 32) reportHelpFailure(page, helpFailureReason(code));
}
