#include "window/kept_list.h"

#include <commctrl.h>

#include <memory>
#include <vector>

#include "shell/gui_state.h"
#include "window/list_view_results.h"
#include "window/main_window.h"

namespace {

struct KeptTwinList {
    ResultStore rows;
    ListViewResultList::Order order;
    std::vector<int> selected;
    int focused = -1;
    int topRow = 0;
    uint32_t searchMode = DirectoryMode;
    uint32_t matchPercent = 0;
    uint32_t twinCount = 0;
    PathText pathA{};
    PathText pathB{};
    PathText boxA{};
    PathText boxB{};
};

std::unique_ptr<KeptTwinList> kept;

// Scrolls so that `row` is the top row: from the end, the list-view moves no
// further than it must.
void showFromRow(HWND list, int row, int count) {
    if (count == 0) return;
    SendMessageA(list, LVM_ENSUREVISIBLE, count - 1, FALSE);
    SendMessageA(list, LVM_ENSUREVISIBLE, row, FALSE);
}

}  // namespace

void keepTwinList() {
    std::unique_ptr<KeptTwinList> list(new KeptTwinList);
    ListViewResultList& view = resultView();
    const AppState& state = app();
    list->order = view.order();
    list->selected = view.selectedRows();
    list->focused = view.focusedRow();
    list->topRow = static_cast<int>(SendMessageA(gui().resultListView, LVM_GETTOPINDEX, 0, 0));
    list->searchMode = state.settings.searchMode;
    list->matchPercent = state.settings.matchPercent;
    list->twinCount = state.twinCount;
    copyPathText(list->pathA, state.settings.pathA);
    copyPathText(list->pathB, state.settings.pathB);
    GetWindowTextA(gui().pathBoxA, list->boxA, kPathTextSize);
    GetWindowTextA(gui().pathBoxB, list->boxB, kPathTextSize);
    view.swapRows(list->rows);
    kept = std::move(list);
}

bool twinListKept() {
    return kept != nullptr;
}

void bringBackTwinList(HWND window) {
    AppState& state = app();
    if (!kept || state.runState != Idle) return;
    const std::unique_ptr<KeptTwinList> list = std::move(kept);
    state.settings.searchMode = list->searchMode;
    state.settings.matchPercent = list->matchPercent;
    copyPathText(state.settings.pathA, list->pathA);
    copyPathText(state.settings.pathB, list->pathB);
    SetWindowTextA(gui().pathBoxA, list->boxA);
    SetWindowTextA(gui().pathBoxB, list->boxB);
    resetListColumns(window);
    ListViewResultList& view = resultView();
    view.swapRows(list->rows);
    state.twinCount = list->twinCount;
    view.setOrder(list->order);
    view.refreshView();
    showFromRow(gui().resultListView, list->topRow, view.rowCount());
    view.selectRows(list->selected, list->focused);
    invalidateTopBand(window);
}

void forgetKeptTwinList() {
    kept.reset();
}
