#include "actions/batch_delete.h"

#include <cstring>
#include <vector>

#include "actions/action_dialog.h"
#include "actions/batch_plan_model.h"
#include "actions/last_copy_guard_model.h"
#include "resources/resource_ids.h"
#include "shell/gui_state.h"
#include "window/main_window.h"

namespace {

constexpr int kStartButton = 1;
constexpr int kCancelButton = 2;
constexpr int kPathInHand = kPromptProgressId;
constexpr int kWarning = kPromptMessageId;
constexpr UINT_PTR kCloseTimer = 1;
// FOF_NOCONFIRMATION | FOF_ALLOWUNDO | FOF_NOERRORUI | FOF_WANTNUKEWARNING.
constexpr unsigned kRecycleFlags = 0x4450;
constexpr std::size_t kRecycleListBytes = 60800000;

const char kWarningText[] =
    "Deleting all files in a column can be dangerous if you are not sure what you are doing. "
    "Please be sure you are sure...";

// The confirmation's own state; only the main thread touches it.
struct Confirmation {
    HFONT largeFont = nullptr;
    HFONT smallFont = nullptr;
    bool started = false;
};
Confirmation confirmation;

HFONT createArial(int height) {
    return CreateFontA(height, 0, 0, 0, 50, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
}

void setFont(HWND dialog, int controlId, HFONT font) {
    SendDlgItemMessageA(dialog, controlId, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void initConfirmation(HWND dialog) {
    confirmation.started = false;
    const bool columnA = app().runState == DeleteAllA;
    SetDlgItemTextA(dialog, kStartButton,
                    columnA ? "Delete all files in Column A" : "Delete all files in Column B");
    SetDlgItemTextA(dialog, kCancelButton, "Cancel action and do nothing");
    SetDlgItemTextA(dialog, kWarning, kWarningText);
    showControl(dialog, kPathInHand, SW_HIDE);
    confirmation.largeFont = createArial(25);
    setFont(dialog, kStartButton, confirmation.largeFont);
    setFont(dialog, kCancelButton, confirmation.largeFont);
    setFont(dialog, kWarning, confirmation.largeFont);
    confirmation.smallFont = createArial(16);
    setFont(dialog, kWarning, confirmation.smallFont);
}

void releaseFonts() {
    DeleteObject(confirmation.largeFont);
    DeleteObject(confirmation.smallFont);
    confirmation.largeFont = nullptr;
    confirmation.smallFont = nullptr;
}

// The batch counts as running from the first button on, before the worker
// exists, so a cancel in between stops it and a second start is refused.
void startBatch(HWND dialog) {
    const uint32_t request = app().runState;
    if (confirmation.started || (request != DeleteAllA && request != DeleteAllB)) return;
    confirmation.started = true;
    SetWindowLongPtrA(dialog, DWLP_USER, static_cast<LONG_PTR>(request - DeleteAllA));
    app().runState = BatchDeleting;
    HANDLE worker = CreateThread(nullptr, 0, batchDelete, dialog, 0, nullptr);
    if (worker != nullptr) {
        CloseHandle(worker);
    } else {
        app().runState = Idle;
    }
    SetTimer(dialog, kCloseTimer, 1000, nullptr);
    showControl(dialog, kStartButton, SW_HIDE);
    showControl(dialog, kPathInHand, SW_SHOW);
}

void finishBatch(HWND dialog) {
    KillTimer(dialog, kCloseTimer);
    app().results->clearRows();
    EndDialog(dialog, 0);
}

void cancelBatch(HWND dialog) {
    const uint32_t state = app().runState;
    if (state == BatchDeleting || state == BatchCancel) {
        app().runState = BatchCancel;
    } else if (confirmation.started) {
        finishBatch(dialog);
    } else {
        app().runState = Idle;
        EndDialog(dialog, 0);
    }
}

void onConfirmCommand(HWND dialog, int command) {
    if (command == kStartButton) startBatch(dialog);
    if (command == kCancelButton) cancelBatch(dialog);
}

void onCloseTimer(HWND dialog) {
    if (app().runState == Idle) finishBatch(dialog);
}

// Hands the queued files that may still go to the shell in one list.
void recycleQueued(HWND dialog, std::vector<const BatchStep*>& queued, char* recycleList) {
    HandOverGuard guard;
    char* write = recycleList;
    for (const BatchStep* step : queued) {
        if (!guard.admit(step->path.c_str(), step->twin.c_str())) continue;
        std::memcpy(write, step->path.c_str(), step->path.size() + 1);
        write += step->path.size() + 1;
    }
    *write = '\0';
    if (write != recycleList) shellDelete(dialog, recycleList, kRecycleFlags);
    queued.clear();
}

void actOn(const BatchStep& step, std::vector<const BatchStep*>& queued) {
    switch (step.action) {
        case BatchAction::Recycle: queued.push_back(&step); break;
        case BatchAction::Delete:
            if (twinHoldsCopy(step.path.c_str(), step.twin.c_str())) DeleteFileA(step.path.c_str());
            break;
        case BatchAction::Move:
            if (twinHoldsCopy(step.path.c_str(), step.twin.c_str())) {
                MoveFileA(step.path.c_str(), step.destination.c_str());
            }
            break;
        case BatchAction::Leave: break;
    }
}

bool cancelled() {
    return app().runState == BatchCancel;
}

// A stop takes effect after the row in hand: paths queued since the last
// hand-over stay where they are.
void runBatch(HWND dialog, const BatchPlan& plan, char* recycleList) {
    std::vector<const BatchStep*> queued;
    for (const BatchStep& step : plan.steps) {
        if (cancelled()) return;
        SetDlgItemTextA(dialog, kPathInHand, step.path.c_str());
        actOn(step, queued);
        if (step.handOverAfter) recycleQueued(dialog, queued, recycleList);
    }
}

}  // namespace

INT_PTR CALLBACK deleteAllConfirmProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG: initConfirmation(dialog); return TRUE;
        case WM_COMMAND: onConfirmCommand(dialog, LOWORD(wParam)); return TRUE;
        case WM_TIMER: onCloseTimer(dialog); return TRUE;
        case WM_DESTROY: releaseFonts(); return FALSE;
        default: return FALSE;
    }
}

DWORD WINAPI batchDelete(LPVOID parameter) {
    HWND dialog = static_cast<HWND>(parameter);
    AppState& state = app();
    const uint32_t column = static_cast<uint32_t>(GetWindowLongPtrA(dialog, DWLP_USER));
    const uint32_t mode = state.settings.batchDeleteMode;
    ensureTrailingBackslash(state.settings.moveDirectory);
    uint8_t* recycleList = nullptr;
    if (mode == RecycleMode) recycleList = allocateZeroed(state, kRecycleListBytes);
    if (mode != RecycleMode || recycleList != nullptr) {
        const BatchPlan plan =
            planBatch(*state.results, column, mode, state.settings.moveDirectory, cancelled);
        runBatch(dialog, plan, reinterpret_cast<char*>(recycleList));
    }
    releaseBlock(state, recycleList);
    state.runState = Idle;
    return 0;
}
