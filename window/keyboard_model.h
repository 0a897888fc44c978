// Which painted button a key stands for. Each key acts exactly as a click on
// its button would, and only where that click is possible.
#pragma once

#include <cstdint>

#include "window/geometry_model.h"

// Where the key went: one of the two path boxes or anywhere else in the window.
enum class KeyFocus { PathBoxA, PathBoxB, Other };

// Enter in a path box starts the job; Esc aborts a running one; Pause or F6
// pauses and resumes it; F1 opens Help; F2 turns the mode switch; F4 in a path
// box opens its picker. Zone::None for any other key, or where the key's click
// would do nothing or something else (Pause while idle would open About).
Zone shortcutZone(uint32_t virtualKey, KeyFocus focus, bool idle, uint32_t searchMode);
