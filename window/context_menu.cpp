#include "window/context_menu.h"

#include "shell/about_box.h"
#include "shell/gui_state.h"
#include "window/clicks.h"
#include "window/kept_list.h"
#include "window/list_commands.h"
#include "window/main_window.h"
#include "window/main_window_options.h"
#include "window/menu_model.h"
#include "window/pickers.h"
#include "window/row_actions.h"

namespace {

void appendEntries(HMENU menu, const std::vector<MenuEntry>& entries) {
    for (const MenuEntry& entry : entries) {
        switch (entry.kind) {
            case MenuEntryKind::Separator: AppendMenuA(menu, MF_SEPARATOR, 0, nullptr); break;
            case MenuEntryKind::Submenu: {
                HMENU popup = CreatePopupMenu();
                appendEntries(popup, entry.submenu);
                AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), entry.text.c_str());
                break;
            }
            case MenuEntryKind::Command:
                AppendMenuA(menu, MF_STRING | (entry.checked ? MF_CHECKED : MF_UNCHECKED), entry.command,
                            entry.text.c_str());
                break;
        }
    }
}

void toggleTransparency(HWND window) {
    Settings& settings = app().settings;
    if (settings.transparent == 0) {
        setTransparency(window, settings.alpha);
        settings.transparent = 1;
    } else {
        clearTransparency(gui().mainWindow);
        settings.transparent = 0;
    }
}

void toggleOnTop(HWND window) {
    Settings& settings = app().settings;
    settings.onTop = settings.onTop == 0 ? 1 : 0;
    setOnTop(window, settings.onTop);
}

// The mode is set first: a cancelled picker keeps the old folder.
void selectMoveDirectory(HWND window) {
    Settings& settings = app().settings;
    settings.batchDeleteMode = MoveToMode;
    chooseFolder(window, settings.moveDirectory);
}

}  // namespace

HMENU buildContextMenu() {
    HMENU menu = CreatePopupMenu();
    appendEntries(menu, buildContextMenuModel(app(), twinListKept()));
    return menu;
}

void showContextMenu(HWND window) {
    HMENU menu = buildContextMenu();
    POINT cursor{};
    GetCursorPos(&cursor);
    SetForegroundWindow(window);
    TrackPopupMenuEx(menu, TPM_RIGHTALIGN, cursor.x, cursor.y, window, nullptr);
    DestroyMenu(menu);  // destroys the submenus with it
}

void handleCommand(HWND window, WPARAM command) {
    // Notifications of the path boxes carry a code in the high word: no command.
    if (command > 0xFFFF) return;
    if (applySettingCommand(app(), static_cast<uint32_t>(command))) return;
    switch (command) {
        case CommandAbout: showAboutBox(window); return;
        case CommandHelp: openHelp(); return;
        case CommandExit: SendMessageA(window, WM_CLOSE, 0, 0); return;
        case CommandTransparent: toggleTransparency(window); return;
        case CommandOnTop: toggleOnTop(window); return;
        case CommandSelectMoveDir: selectMoveDirectory(window); return;
        case CommandDetails: openRowActions(window); return;
        case CommandRemove: removeChosenPairs(); return;
        case CommandSaveList: saveListAs(window); return;
        case CommandBackToTwins: bringBackTwinList(window); return;
        default: return;
    }
}
