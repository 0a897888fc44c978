#include "shell/about_box.h"

#include "resources/resource_ids.h"
#include "resources/version.h"
#include "shell/gui_state.h"

static INT_PTR fillAboutBox(HWND dialog) {
    SetDlgItemTextA(dialog, kAboutTitleId, KESTROW_TITLE);
    SetDlgItemTextA(dialog, kAboutVersionId, "Version " KESTROW_VERSION_TEXT);
    SetDlgItemTextA(dialog, kAboutProgramFolderId, gui().programDirectory);
    SetDlgItemTextA(dialog, kAboutDataFolderId, gui().dataDirectory);
    return TRUE;
}

static INT_PTR closeAboutBox(HWND dialog, WPARAM command) {
    WORD id = LOWORD(command);
    if (id == IDOK || id == IDCANCEL) EndDialog(dialog, id);
    return TRUE;
}

static INT_PTR CALLBACK aboutBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG: return fillAboutBox(dialog);
        case WM_COMMAND: return closeAboutBox(dialog, wParam);
        default: return FALSE;
    }
}

void showAboutBox(HWND owner) {
    GuiState& state = gui();
    state.aboutOpen = 1;
    DialogBoxParamA(state.instance, MAKEINTRESOURCEA(kAboutDialog), owner, aboutBoxProc, 0);
    state.aboutOpen = 0;
}
