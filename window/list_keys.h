// The list's keys: Ctrl+A selects every row and Ctrl+C copies the chosen rows
// (with the list focused), Ctrl+S saves the list, and Alt+Left (anywhere in
// the window) or Backspace (on the list) goes back from Detail View to the
// twin list. They act only while no job runs.
#pragma once

#include <windows.h>

#include <cstdint>

enum class ListKey { None, SelectAll, Copy, Save, Back };

// What a key press means: `control` and `alt` tell which of them are held,
// `onList` whether the list has the focus.
ListKey listKeyOf(uint32_t virtualKey, bool control, bool alt, bool onList);
// Acts on a key press meant for the main window or one of its children when
// it is one of the list's keys; true when it did.
bool handleListKey(const MSG& message);
