// The file dialog, the folder browser and the help page.
#include "window/pickers.h"

#include <windows.h>

#include <commdlg.h>
#include <shlobj.h>

#include <cstring>
#include <string>

#include "engine/base/owned_win32.h"
#include "resources/version.h"
#include "shell/gui_state.h"

namespace {

constexpr DWORD kOpenFileFlags =
    OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_EXPLORER | OFN_LONGNAMES;
constexpr UINT kBrowseFlags = BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN | BIF_EDITBOX;

bool isFolder(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The dialog starts from `buffer` when it names a file that opens; else in
// the folder `buffer` names or holds its name in (with no name given), and
// else in the user's documents folder.
void chooseStart(char* buffer, char* folder) {
    folder[0] = '\0';
    const OwnedFileHandle file(
        CreateFileA(buffer, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) return;
    copyPathText(folder, buffer);
    char* const lastSeparator = std::strrchr(folder, '\\');
    if (!isFolder(folder) && lastSeparator != nullptr) *lastSeparator = '\0';
    if (folder[0] != '\0' && isFolder(folder)) {
        buffer[0] = '\0';
        return;
    }
    folder[0] = '\0';
    SHGetSpecialFolderPathA(nullptr, buffer, CSIDL_PERSONAL, FALSE);
}

// Once the browser is up, it selects the folder it was given (lParam).
int CALLBACK selectStartFolder(HWND browser, UINT message, LPARAM, LPARAM folder) {
    if (message == BFFM_INITIALIZED && reinterpret_cast<const char*>(folder)[0] != '\0')
        SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, folder);
    return 0;
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
    PathText folder;
    chooseStart(buffer, folder);
    OPENFILENAMEA dialog = {};
    dialog.lStructSize =
        OPENFILENAME_SIZE_VERSION_400A;  // the record Windows 2000 takes, sized for this processor
    dialog.hwndOwner = owner;
    dialog.hInstance = gui().instance;
    dialog.lpstrFilter = filter;
    dialog.lpstrFile = buffer;
    dialog.nMaxFile = kPathTextSize;
    dialog.lpstrInitialDir = folder[0] != '\0' ? folder : nullptr;
    dialog.lpstrTitle = KESTROW_TITLE;
    dialog.Flags = kOpenFileFlags;
    return GetOpenFileNameA(&dialog);
}

// A confirmed item without a file-system path (which the browser should not
// offer) counts as cancelled: `out` is written only with a real folder.
int chooseFolder(HWND owner, char* out) {
    PathText start;
    copyPathText(start, out);
    BROWSEINFOA browse = {};
    browse.hwndOwner = owner;
    browse.lpszTitle = "Directory to look in:";
    browse.ulFlags = kBrowseFlags;
    browse.lpfn = selectStartFolder;
    browse.lParam = reinterpret_cast<LPARAM>(start);
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
