#include "actions/batch_delete.h"

#include <cstring>
#include <string>
#include <vector>

#include "actions/batch_plan_model.h"
#include "actions/last_copy_guard_model.h"
#include "actions/shell_delete.h"
#include "engine/base/worker_thread.h"
#include "resources/resource_ids.h"
#include "resources/version.h"
#include "shell/dialog_fonts.h"
#include "shell/gui_state.h"
#include "window/job_control.h"
#include "window/list_view_results.h"
#include "window/main_window.h"

namespace {

constexpr int kStartButton = 1;
constexpr int kCancelButton = 2;
constexpr int kPathInHand = kPromptProgressId;
constexpr int kWarning = kPromptMessageId;
constexpr UINT_PTR kCloseTimer = 1;
// Sent by the worker with the path it is about to act on; the dialog's own
// thread shows it.
constexpr UINT kShowPathInHand = WM_APP + 1;
// FOF_NOCONFIRMATION | FOF_ALLOWUNDO | FOF_NOERRORUI | FOF_WANTNUKEWARNING.
constexpr unsigned kRecycleFlags = 0x4450;
constexpr std::size_t kRecycleListBytes = 60800000;

const char kWarningText[] =
    "Deleting all files in a column can be dangerous if you are not sure what you are doing. "
    "Please be sure you are sure...";

// One opening of the confirmation: made by its opener, shared with the worker,
// which alone writes the tally until it sets runState back to Idle.
struct BatchRun {
    HWND dialog = nullptr;
    uint32_t column = 0;
    bool started = false;
    bool outOfMemory = false;  // told by the opener once the confirmation is gone
    BatchTally tally;
};

struct Opening {
    BatchRun* run;
    const DialogFonts* fonts;
};

BatchRun& runOf(HWND dialog) {
    return *reinterpret_cast<BatchRun*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

// The warning, then what the run will do: how many files of the column, and
// where they go, as the plan the worker will make stands now.
std::string confirmationMessage(uint32_t column) {
    const Settings& settings = app().settings;
    PathText moveDirectory;
    copyPathText(moveDirectory, settings.moveDirectory);
    ensureTrailingBackslash(moveDirectory);
    const std::size_t files = planBatch(resultView(), column, settings.batchDeleteMode, moveDirectory).size();
    return std::string(kWarningText) + "\r\n\r\n" +
           batchPromptText(files, column, settings.batchDeleteMode, moveDirectory);
}

// Moves a control of `dialog` down by `offset` pixels, or makes it that much
// taller when `taller`.
void shiftControl(HWND dialog, int controlId, int offset, bool taller) {
    HWND control = GetDlgItem(dialog, controlId);
    RECT place;
    GetWindowRect(control, &place);
    POINT corner = {place.left, place.top};
    ScreenToClient(dialog, &corner);
    const int width = place.right - place.left;
    const int height = place.bottom - place.top;
    if (taller) {
        MoveWindow(control, corner.x, corner.y, width, height + offset, FALSE);
    } else {
        MoveWindow(control, corner.x, corner.y + offset, width, height, FALSE);
    }
}

// The message box of the template holds three lines; the dialog grows by what
// the whole message needs beyond them, the buttons moving down with it.
void fitMessage(HWND dialog) {
    HWND message = GetDlgItem(dialog, kWarning);
    RECT shown = {};
    SendMessageA(message, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&shown));
    char text[2 * kPathTextSize] = {};
    GetWindowTextA(message, text, sizeof(text));
    HDC dc = GetDC(message);
    const HGDIOBJ previous =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(message, WM_GETFONT, 0, 0)));
    RECT needed = {0, 0, shown.right - shown.left, 0};
    DrawTextA(dc, text, -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
    SelectObject(dc, previous);
    ReleaseDC(message, dc);
    const int grow = needed.bottom - (shown.bottom - shown.top);
    if (grow <= 0) return;
    shiftControl(dialog, kWarning, grow, true);
    for (int control : {kStartButton, kCancelButton, kPathInHand}) shiftControl(dialog, control, grow, false);
    RECT frame;
    GetWindowRect(dialog, &frame);
    MoveWindow(dialog, frame.left, frame.top - grow / 2, frame.right - frame.left,
               frame.bottom - frame.top + grow, TRUE);
}

// Cancel is the default button and has the focus: Enter never starts a run.
void initConfirmation(HWND dialog, const Opening& opening) {
    opening.run->dialog = dialog;
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(opening.run));
    const bool columnA = app().runState == DeleteAllA;
    SetDlgItemTextA(dialog, kStartButton,
                    columnA ? "Delete all files in Column A" : "Delete all files in Column B");
    SetDlgItemTextA(dialog, kCancelButton, "Cancel action and do nothing");
    SetDlgItemTextA(dialog, kWarning, confirmationMessage(columnA ? 0 : 1).c_str());
    showControl(dialog, kPathInHand, SW_HIDE);
    DialogFonts::apply(dialog, kStartButton, opening.fonts->large());
    DialogFonts::apply(dialog, kCancelButton, opening.fonts->large());
    DialogFonts::apply(dialog, kWarning, opening.fonts->large());
    DialogFonts::apply(dialog, kWarning, opening.fonts->smallFont());
    fitMessage(dialog);
    SendMessageA(dialog, DM_SETDEFID, kCancelButton, 0);
    SetFocus(GetDlgItem(dialog, kCancelButton));
}

void batchDelete(BatchRun& run);

// The batch counts as running from the first button on, before the worker
// exists, so a cancel in between stops it and a second start is refused.
void startBatch(HWND dialog) {
    BatchRun& run = runOf(dialog);
    const uint32_t request = app().runState;
    if (run.started || (request != DeleteAllA && request != DeleteAllB)) return;
    run.started = true;
    run.column = request - DeleteAllA;
    app().runState = BatchDeleting;
    if (!startDetachedThread([&run] { batchDelete(run); })) app().runState = Idle;
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
    } else if (runOf(dialog).started) {
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

void showPathInHand(HWND dialog, LPARAM path) {
    SetDlgItemTextA(dialog, kPathInHand, reinterpret_cast<const char*>(path));
}

void onCloseTimer(HWND dialog) {
    if (app().runState == Idle) finishBatch(dialog);
}

INT_PTR CALLBACK deleteAllConfirmProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: initConfirmation(dialog, *reinterpret_cast<const Opening*>(lParam)); return FALSE;
        case WM_COMMAND: onConfirmCommand(dialog, LOWORD(wParam)); return TRUE;
        case WM_TIMER: onCloseTimer(dialog); return TRUE;
        case kShowPathInHand: showPathInHand(dialog, lParam); return TRUE;
        default: return FALSE;
    }
}

// Both files of the row as the search found them; a file changed since is kept unread.
bool stillAsFound(const BatchStep& step) {
    return stillAsSearched(step.path.c_str(), step.pathFacts) &&
           stillAsSearched(step.twin.c_str(), step.twinFacts);
}

// Hands the queued files that pass the re-check to the shell in one list; a
// file still there afterwards was not removed.
void recycleQueued(BatchRun& run, std::vector<BatchStep>& queued, char* recycleList) {
    HandOverGuard guard;
    std::vector<const BatchStep*> handed;
    char* write = recycleList;
    for (const BatchStep& step : queued) {
        if (!stillAsFound(step) || !guard.admit(step.path.c_str(), step.twin.c_str())) {
            ++run.tally.kept;
            continue;
        }
        std::memcpy(write, step.path.c_str(), step.path.size() + 1);
        write += step.path.size() + 1;
        handed.push_back(&step);
    }
    *write = '\0';
    if (write != recycleList) shellDelete(run.dialog, recycleList, kRecycleFlags);
    for (const BatchStep* step : handed) {
        if (fs::pathExists(step->path.c_str())) {
            ++run.tally.failed;
        } else {
            ++run.tally.removed;
        }
    }
    queued.clear();
}

// Deletes or moves the file once its twin is found to hold the same bytes.
void removeChecked(BatchTally& tally, const BatchStep& step) {
    if (!stillAsFound(step) || !twinHoldsCopy(step.path.c_str(), step.twin.c_str())) {
        ++tally.kept;
        return;
    }
    const bool done = step.action == BatchAction::Delete
                          ? DeleteFileA(step.path.c_str()) != 0
                          : MoveFileA(step.path.c_str(), step.destination.c_str()) != 0;
    ++(done ? tally.removed : tally.failed);
}

void actOn(BatchTally& tally, const BatchStep& step, std::vector<BatchStep>& queued) {
    switch (step.action) {
        case BatchAction::Recycle: queued.push_back(step); break;
        case BatchAction::Delete:
        case BatchAction::Move: removeChecked(tally, step); break;
        case BatchAction::Leave: ++tally.failed; break;
    }
}

bool cancelled() {
    return app().runState == BatchCancel;
}

// A stop takes effect after the row in hand: paths queued since the last
// hand-over stay where they are. The stop is looked at once the dialog's
// thread has shown the path (a send, not a post: the worker never runs ahead
// of the path on show), which it serves after any cancel already pressed.
void runBatch(BatchRun& run, const BatchPlan& plan, char* recycleList) {
    run.tally.planned = static_cast<uint32_t>(plan.size());
    std::vector<BatchStep> queued;
    for (std::size_t at = 0; at < plan.size(); ++at) {
        const BatchStep step = planStep(plan, resultView(), at);
        SendMessageA(run.dialog, kShowPathInHand, 0, reinterpret_cast<LPARAM>(step.path.c_str()));
        if (cancelled()) return;
        actOn(run.tally, step, queued);
        if (step.handOverAfter) recycleQueued(run, queued, recycleList);
    }
}

// The recycle list is given back before the batch reports Idle. False when
// memory ran out.
bool deleteChecked(BatchRun& run) {
    AppState& state = app();
    const uint32_t mode = state.settings.batchDeleteMode;
    ensureTrailingBackslash(state.settings.moveDirectory);
    const OwnedBlock recycleList = mode == RecycleMode ? OwnedBlock(state, kRecycleListBytes) : OwnedBlock();
    if (mode == RecycleMode && !recycleList) return true;
    // A plan that cannot be held removes nothing; a run that runs out of memory stops where it is.
    return withinMemory([&] {
        const BatchPlan plan =
            planBatch(resultView(), run.column, mode, state.settings.moveDirectory, cancelled);
        runBatch(run, plan, reinterpret_cast<char*>(recycleList.get()));
    });
}

void batchDelete(BatchRun& run) {
    if (!deleteChecked(run)) run.outOfMemory = true;
    app().runState = Idle;
}

}  // namespace

void runDeleteAll(HWND window) {
    BatchRun run;
    {
        DialogFonts fonts(25, 16);
        Opening opening{&run, &fonts};
        DialogBoxParamA(gui().instance, MAKEINTRESOURCEA(kChoicePromptDialog), window, deleteAllConfirmProc,
                        reinterpret_cast<LPARAM>(&opening));
    }
    if (run.outOfMemory) showNoMemoryMessage();
    if (!run.started) return;
    const std::string outcome =
        batchOutcomeText(run.tally, app().settings.batchDeleteMode, app().settings.moveDirectory);
    MessageBoxA(window, outcome.c_str(), KESTROW_TITLE, MB_OK);
}
