#include "shell/gui_state.h"

AppState& app() {
    static AppState state;
    return state;
}

GuiState& gui() {
    static GuiState state;
    return state;
}
