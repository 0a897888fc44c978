// The six hover flags of the main window's painted buttons: 0 dark, 1 lit.
// The window's state record holds them; the window's geometry sets them.
#pragma once

#include <cstdint>

struct HoverFlags {
    uint32_t hoverAboutPause = 0;
    uint32_t hoverHelp = 0;
    uint32_t hoverChooseA = 0;
    uint32_t hoverChooseB = 0;
    uint32_t hoverSwitch = 0;
    uint32_t hoverStartAbort = 0;
};
