#include "window/list_keys.h"

#include "shell/gui_state.h"
#include "window/kept_list.h"
#include "window/list_commands.h"

ListKey listKeyOf(uint32_t virtualKey, bool control, bool alt, bool onList) {
    if (alt && !control) return virtualKey == VK_LEFT ? ListKey::Back : ListKey::None;
    if (alt) return ListKey::None;
    if (!control) return onList && virtualKey == VK_BACK ? ListKey::Back : ListKey::None;
    switch (virtualKey) {
        case 'A': return onList ? ListKey::SelectAll : ListKey::None;
        case 'C': return onList ? ListKey::Copy : ListKey::None;
        case 'S': return ListKey::Save;
        default: return ListKey::None;
    }
}

bool handleListKey(const MSG& message) {
    if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) return false;
    const GuiState& state = gui();
    HWND window = state.mainWindow;
    if (window == nullptr || (message.hwnd != window && !IsChild(window, message.hwnd))) return false;
    const bool control = GetKeyState(VK_CONTROL) < 0;
    const bool alt = GetKeyState(VK_MENU) < 0;
    const ListKey key =
        listKeyOf(static_cast<uint32_t>(message.wParam), control, alt, message.hwnd == state.resultListView);
    if (key == ListKey::None || app().runState != Idle) return false;
    switch (key) {
        case ListKey::SelectAll: selectAllRows(); break;
        case ListKey::Copy: copyChosenRows(window); break;
        case ListKey::Save: saveListAs(window); break;
        case ListKey::Back:
            if (!twinListKept()) return false;
            bringBackTwinList(window);
            break;
        case ListKey::None: break;
    }
    return true;
}
