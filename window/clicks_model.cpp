#include "window/clicks_model.h"

#include <cstring>

#include "engine/job/settings.h"

ClickAction clickAction(Zone zone, bool idle, uint32_t aboutOpen) {
    switch (zone) {
        case Zone::ChooseA:
        case Zone::ChooseB: return idle ? ClickAction::Choose : ClickAction::None;
        case Zone::Switch: return idle ? ClickAction::SwitchMode : ClickAction::None;
        case Zone::StartAbort: return ClickAction::StartOrAbort;
        case Zone::AboutPause: return aboutOpen == 0 ? ClickAction::AboutOrPause : ClickAction::None;
        case Zone::Help: return idle ? ClickAction::Help : ClickAction::None;
        case Zone::None: break;
    }
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
