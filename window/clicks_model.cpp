#include "window/clicks_model.h"

#include <cstring>

#include "engine/settings.h"

ClickAction clickAction(const HoverFlags& flags, bool idle, uint32_t aboutOpen) {
    if ((flags.hoverChooseA || flags.hoverChooseB) && idle) return ClickAction::Choose;
    if (flags.hoverSwitch && idle) return ClickAction::SwitchMode;
    if (flags.hoverStartAbort) return ClickAction::StartOrAbort;
    if (flags.hoverAboutPause && aboutOpen == 0) return ClickAction::AboutOrPause;
    if (flags.hoverHelp) return ClickAction::Help;
    return ClickAction::None;
}

DropBox dropTarget(const char* name, uint32_t searchMode, uint32_t& dropToggle) {
    const bool isFile = std::strchr(name, '.') != nullptr;
    if (searchMode != FileMode) return isFile ? DropBox::None : DropBox::BoxA;
    if (!isFile) return DropBox::None;
    if (dropToggle == 1) {
        dropToggle = 0;
        return DropBox::BoxB;
    }
    dropToggle = 1;
    return DropBox::BoxA;
}
