// Pointer tracking over the painted buttons and what a left-button release does.
#include "window/clicks.h"

#include "shell/about_box.h"
#include "shell/gui_state.h"
#include "window/clicks_model.h"
#include "window/dpi_model.h"
#include "window/job_control.h"
#include "window/kept_list.h"
#include "window/main_window.h"
#include "window/pickers.h"

namespace {

// Each picker starts where its own box points; the choice goes only into the
// box, as the saved paths change only when a job starts or a search ends.
void chooseIntoBox(HWND window, Zone zone) {
    const bool fileMode = app().settings.searchMode == FileMode;
    const int box = fileMode && zone == Zone::ChooseB ? kPathBoxBId : kPathBoxAId;
    PathText path{};
    GetDlgItemTextA(window, box, path, kPathTextSize);
    const int chosen = fileMode ? chooseFile(window, path, "All Files\0*.*\0") : chooseFolder(window, path);
    if (chosen != 0) SetDlgItemTextA(window, box, path);
}

void switchMode(HWND window) {
    AppState& shared = app();
    shared.settings.searchMode = nextSearchMode(shared.settings.searchMode);
    forgetKeptTwinList();  // the user has left Detail View
    resetListColumns(window);
    invalidateTopBand(window);
}

// Start while idle, Abort while a job runs. Any other state (a dialog's
// request in hand) has no worker that could wind an abort down, so the button
// then does nothing.
void startOrAbort(HWND window) {
    invalidateTopBand(window);
    const uint32_t runState = app().runState;
    if (runState == Idle) {
        startJob(window);
    } else if (busy(runState)) {
        abortJob();
    }
}

void aboutOrPause(HWND window) {
    const uint32_t runState = app().runState;
    if (runState == Idle) {
        showAboutBox(window);
    } else if (busy(runState)) {
        togglePause(window);
    }
}

// The pointer's place in the 96-DPI coordinates of the face.
uint32_t logicalX(LPARAM position) {
    return logicalCoordinate(LOWORD(position), gui().dpi);
}
uint32_t logicalY(LPARAM position) {
    return logicalCoordinate(HIWORD(position), gui().dpi);
}

Zone zoneAt(LPARAM position) {
    return hitZone(gui().clientWidth, logicalX(position), logicalY(position), app().runState == Idle,
                   app().settings.searchMode);
}

}  // namespace

HoverFlags& hoverFlags() {
    return gui();
}

void trackHover(HWND window, LPARAM position) {
    const HoverRepaint repaint =
        updateHover(hoverFlags(), gui().clientWidth, gui().clientHeight, logicalX(position),
                    logicalY(position), app().runState == Idle, app().settings.searchMode);
    for (int i = 0; i < repaint.count; ++i) invalidateArea(window, repaint.rects[i], false);
}

void handleClick(HWND window, LPARAM position) {
    // A release without a movement before it (touch, pen, remote desktops)
    // still shows which button it pressed.
    trackHover(window, position);
    actOnZone(window, zoneAt(position));
}

void actOnZone(HWND window, Zone zone) {
    switch (clickAction(zone, app().runState == Idle, gui().aboutOpen)) {
        case ClickAction::Choose: chooseIntoBox(window, zone); return;
        case ClickAction::SwitchMode: switchMode(window); return;
        case ClickAction::StartOrAbort: startOrAbort(window); return;
        case ClickAction::AboutOrPause: aboutOrPause(window); return;
        case ClickAction::Help: openHelp(); return;
        case ClickAction::None: return;
    }
}
