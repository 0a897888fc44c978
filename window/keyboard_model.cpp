#include "window/keyboard_model.h"

#include "engine/job/settings.h"

namespace {

// Virtual-key codes, as the platform numbers them.
constexpr uint32_t kKeyEnter = 0x0D;
constexpr uint32_t kKeyPause = 0x13;
constexpr uint32_t kKeyEscape = 0x1B;
constexpr uint32_t kKeyF1 = 0x70;
constexpr uint32_t kKeyF2 = 0x71;
constexpr uint32_t kKeyF4 = 0x73;
constexpr uint32_t kKeyF6 = 0x75;

Zone chooserOf(KeyFocus focus, uint32_t searchMode) {
    if (focus == KeyFocus::PathBoxA) return Zone::ChooseA;
    if (focus == KeyFocus::PathBoxB && searchMode == FileMode) return Zone::ChooseB;
    return Zone::None;
}

}  // namespace

Zone shortcutZone(uint32_t virtualKey, KeyFocus focus, bool idle, uint32_t searchMode) {
    switch (virtualKey) {
        case kKeyEnter: return idle && focus != KeyFocus::Other ? Zone::StartAbort : Zone::None;
        case kKeyEscape: return idle ? Zone::None : Zone::StartAbort;
        case kKeyPause:
        case kKeyF6: return idle ? Zone::None : Zone::AboutPause;
        case kKeyF1: return idle ? Zone::Help : Zone::None;
        case kKeyF2: return idle ? Zone::Switch : Zone::None;
        case kKeyF4: return idle ? chooserOf(focus, searchMode) : Zone::None;
        default: return Zone::None;
    }
}
