#include "window/file_drop.h"

#include <shellapi.h>

#include "shell/gui_state.h"
#include "window/clicks_model.h"
#include "window/main_window.h"

namespace {

void placeDroppedName(HWND window, const char* name) {
    switch (dropTarget(name, app().settings.searchMode, gui().dropToggle)) {
        case DropBox::BoxA: SetDlgItemTextA(window, kPathBoxAId, name); return;
        case DropBox::BoxB: SetDlgItemTextA(window, kPathBoxBId, name); return;
        case DropBox::None: return;
    }
}

}  // namespace

// Only the first name counts. A name that does not fit a path text is left out
// rather than cut short, since a shortened path may name another file.
void handleDrop(HWND window, HDROP drop) {
    PathText name;
    const UINT length = DragQueryFileA(drop, 0, nullptr, 0);
    if (length > 0 && length < kPathTextSize && DragQueryFileA(drop, 0, name, kPathTextSize) == length) {
        placeDroppedName(window, name);
    }
    DragFinish(drop);
}

void discardDrop(HDROP drop) {
    DragFinish(drop);
}
