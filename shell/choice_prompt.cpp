#include "shell/choice_prompt.h"

#include "resources/resource_ids.h"
#include "shell/gui_state.h"

static HFONT makePromptFont(int height) {
    return CreateFontA(height, 0, 0, 0, 50, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
}

static void setControlFont(HWND dialog, int controlId, HFONT font) {
    SendDlgItemMessageA(dialog, controlId, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

static INT_PTR openPrompt(HWND dialog) {
    GuiState& state = gui();
    SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    SetDlgItemTextA(dialog, kPromptMessageId, state.promptMessage);
    SetDlgItemTextA(dialog, IDOK, state.promptButton1);
    SetDlgItemTextA(dialog, IDCANCEL, state.promptButton2);
    state.promptFontLarge = makePromptFont(20);
    state.promptFontSmall = makePromptFont(16);
    setControlFont(dialog, IDOK, state.promptFontLarge);
    setControlFont(dialog, IDCANCEL, state.promptFontLarge);
    if (state.promptKind < 10) {
        setControlFont(dialog, kPromptMessageId, state.promptFontLarge);
    } else {
        state.promptKind -= 10;
        setControlFont(dialog, kPromptMessageId, state.promptFontSmall);
    }
    return TRUE;
}

static INT_PTR answerPrompt(HWND dialog, WPARAM command) {
    WORD id = LOWORD(command);
    if (id != IDOK && id != IDCANCEL) return TRUE;
    gui().promptResult = id == IDOK ? 1 : 2;
    EndDialog(dialog, 0);
    return TRUE;
}

INT_PTR CALLBACK choicePromptProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: return openPrompt(dialog);
    case WM_COMMAND: return answerPrompt(dialog, wParam);
    // The controls are gone by now, so their fonts can go too.
    case WM_NCDESTROY: resetChoicePrompt(); return FALSE;
    default: return FALSE;
    }
}

void resetChoicePrompt() {
    GuiState& state = gui();
    state.promptKind = 0;
    state.promptMessage = nullptr;
    state.promptButton1 = nullptr;
    state.promptButton2 = nullptr;
    if (state.promptFontLarge) DeleteObject(state.promptFontLarge);
    if (state.promptFontSmall) DeleteObject(state.promptFontSmall);
    state.promptFontLarge = nullptr;
    state.promptFontSmall = nullptr;
}

int32_t askChoice(HWND owner, const char* message, const char* button1, const char* button2, uint32_t kind) {
    GuiState& state = gui();
    state.promptMessage = message;
    state.promptButton1 = button1;
    state.promptButton2 = button2;
    state.promptKind = kind;
    state.promptResult = 0;
    DialogBoxParamA(state.instance, MAKEINTRESOURCEA(kChoicePromptDialog), owner, choicePromptProc, 0);
    resetChoicePrompt();
    return state.promptResult;
}
