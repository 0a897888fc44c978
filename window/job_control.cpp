// Start, Abort, Pause and Resume of a comparison or a search.
#include "window/job_control.h"

#include "engine/base/worker_thread.h"
#include "engine/compare/compare_files.h"
#include "engine/rows/result_list.h"
#include "engine/search/duplicate_search.h"
#include "resources/version.h"
#include "shell/close_path.h"
#include "shell/gui_state.h"
#include "window/main_window.h"

namespace {

constexpr UINT kProgressPeriodMs = 100;

// What a job is given when it starts: the paths and the search's options as
// Start read them.
struct JobStart {
    PathText a;
    PathText b;
    SearchOptions options;
};

// The job's outcome goes to the window as a message: its own thread then
// decides what to tell the user.
void runJob(HWND window, const JobStart& job, bool fileMode) {
    const JobEnd end =
        fileMode ? compareFiles(app(), job.a, job.b).end : searchDuplicates(app(), job.a, job.options).end;
    PostMessageA(window, kJobEndedMessage, static_cast<WPARAM>(end), 0);
}

// Copies a path box into `path`. An empty box, or one holding more than a path
// text can take (a shortened path could name another file), is refused.
bool readPathBox(HWND window, int controlId, char* path) {
    HWND box = GetDlgItem(window, controlId);
    const int length = GetWindowTextLengthA(box);
    if (length <= 0 || length >= static_cast<int>(kPathTextSize)) return false;
    return GetWindowTextA(box, path, kPathTextSize) == length;
}

// No worker will bring the state back, so the window does it: idle again,
// no progress repaints, the path boxes usable.
void windBackFailedStart(HWND window) {
    app().runState = Idle;
    KillTimer(window, kProgressTimer);
    updateControls(window);
    invalidateTopBand(window);
}

}  // namespace

WorkerStarter startWorkerThread = startDetachedThread;

void startJob(HWND window) {
    AppState& shared = app();
    shared.results->clearRows();
    if (!readPathBox(window, kPathBoxAId, shared.settings.pathA)) return;
    const bool fileMode = shared.settings.searchMode == FileMode;
    if (fileMode && !readPathBox(window, kPathBoxBId, shared.settings.pathB)) return;
    shared.runState = Comparing;
    updateControls(window);
    SetTimer(window, kProgressTimer, kProgressPeriodMs, nullptr);
    shared.progressPercent = 0;
    shared.twinCount = 0;
    // A job that ended while paused leaves the gate closed; never start behind it.
    if (shared.runControl == Running) shared.pauseGate.openGate();
    // The job gets its own copy: the saved paths and settings are the window's.
    JobStart job{};
    copyPathText(job.a, shared.settings.pathA);
    if (fileMode) copyPathText(job.b, shared.settings.pathB);
    job.options = searchOptionsOf(shared.settings);
    if (!startWorkerThread([window, job, fileMode] { runJob(window, job, fileMode); }))
        windBackFailedStart(window);
}

void onJobEnded(HWND window, WPARAM end) {
    if (static_cast<JobEnd>(end) == JobEnd::NoMemory) showNoMemoryMessage();
    updateControls(window);
}

void showNoMemoryMessage() {
    MessageBoxA(nullptr, "Not enough memory", KESTROW_EXE_NAME, MB_OK);
}

void abortJob() {
    requestAbort(app());
}

void togglePause(HWND window) {
    AppState& shared = app();
    if (shared.runControl == Paused) {
        shared.runControl = Running;
        shared.pauseGate.openGate();
    } else if (shared.runControl == Running) {
        shared.runControl = Paused;
        shared.pauseGate.closeGate();
    }
    invalidateTopBand(window);
}
