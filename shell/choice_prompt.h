// The two-button modal question (dialog 1601).
#pragma once

#include <windows.h>

#include <cstdint>

// Message kinds: the message in the large font, or (10 and above) the small one.
constexpr uint32_t kPromptLargeMessage = 1;
constexpr uint32_t kPromptSmallMessage = 11;

// Asks modally over `owner` and returns the answer: 1 first button, 2 second
// button or Esc, 0 when the prompt could not be shown. The prompt's fonts are
// deleted before it returns.
int32_t askChoice(HWND owner, const char* message, const char* button1, const char* button2, uint32_t kind);
