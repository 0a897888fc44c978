// The keys that stand for the painted buttons of the main window.
#pragma once

#include <windows.h>

// Acts on a key press meant for the main window or one of its children when
// the key stands for a button; true when it did (the message is then done).
bool handleShortcutKey(const MSG& message);
