#include "window/keyboard.h"

#include "shell/gui_state.h"
#include "window/clicks.h"
#include "window/keyboard_model.h"

bool handleShortcutKey(const MSG& message) {
    if (message.message != WM_KEYDOWN) return false;
    const GuiState& state = gui();
    HWND window = state.mainWindow;
    if (window == nullptr || (message.hwnd != window && !IsChild(window, message.hwnd))) return false;
    const KeyFocus focus = message.hwnd == state.pathBoxA   ? KeyFocus::PathBoxA
                           : message.hwnd == state.pathBoxB ? KeyFocus::PathBoxB
                                                            : KeyFocus::Other;
    const Zone zone = shortcutZone(static_cast<uint32_t>(message.wParam), focus, app().runState == Idle,
                                   app().settings.searchMode);
    if (zone == Zone::None) return false;
    actOnZone(window, zone);
    return true;
}
