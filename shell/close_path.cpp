#include "shell/close_path.h"

#include "engine/job/run_state.h"
#include "shell/choice_prompt.h"
#include "shell/gui_state.h"
#include "shell/settings.h"

static const char kBusyCloseMessage[] =
    "Kestrow is in the middle of a search. If you stop now you will need to start again from the "
    "beginning.";

static void abortForClose(HWND window) {
    requestAbort(app());
    SetTimer(window, kCloseTimer, 1000, nullptr);
}

void requestClose(HWND window) {
    // Only a window that was idle from the start closes here: a job that ends
    // while the user reads the prompt must not turn "Don't close." into a close.
    if (app().runState != Idle) {
        int32_t answer = askChoice(window, kBusyCloseMessage, "I know, close anyway.", "Don't close.",
                                   kPromptSmallMessage);
        if (answer == 1) abortForClose(window);
        return;
    }
    // A settings file that cannot be written goes unreported: the window closes all the same.
    saveSettings();
    DestroyWindow(window);
}

void onCloseTimer(HWND window) {
    if (app().runState != Idle) return;
    KillTimer(window, kCloseTimer);
    DestroyWindow(window);
}
