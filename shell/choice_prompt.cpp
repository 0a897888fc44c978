#include "shell/choice_prompt.h"

#include "resources/resource_ids.h"
#include "shell/dialog_fonts.h"
#include "shell/gui_state.h"

namespace {

// What the opener hands the prompt: its texts, its kind and its fonts.
struct Question {
    const char* message;
    const char* button1;
    const char* button2;
    uint32_t kind;
    const DialogFonts* fonts;
};

INT_PTR openPrompt(HWND dialog, const Question& question) {
    SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    SetDlgItemTextA(dialog, kPromptMessageId, question.message);
    SetDlgItemTextA(dialog, IDOK, question.button1);
    SetDlgItemTextA(dialog, IDCANCEL, question.button2);
    const DialogFonts& fonts = *question.fonts;
    DialogFonts::apply(dialog, IDOK, fonts.large());
    DialogFonts::apply(dialog, IDCANCEL, fonts.large());
    DialogFonts::apply(dialog, kPromptMessageId, question.kind < 10 ? fonts.large() : fonts.smallFont());
    return TRUE;
}

INT_PTR answerPrompt(HWND dialog, WPARAM command) {
    WORD id = LOWORD(command);
    if (id != IDOK && id != IDCANCEL) return TRUE;
    EndDialog(dialog, id == IDOK ? 1 : 2);
    return TRUE;
}

INT_PTR CALLBACK choicePromptProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: return openPrompt(dialog, *reinterpret_cast<const Question*>(lParam));
        case WM_COMMAND: return answerPrompt(dialog, wParam);
        default: return FALSE;
    }
}

}  // namespace

int32_t askChoice(HWND owner, const char* message, const char* button1, const char* button2, uint32_t kind) {
    const DialogFonts fonts(20, 16);
    const Question question{message, button1, button2, kind, &fonts};
    const INT_PTR answer = DialogBoxParamA(gui().instance, MAKEINTRESOURCEA(kChoicePromptDialog), owner,
                                           choicePromptProc, reinterpret_cast<LPARAM>(&question));
    return answer == 1 || answer == 2 ? static_cast<int32_t>(answer) : 0;
}
