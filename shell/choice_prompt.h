// The two-button modal question (dialog 1601).
#pragma once

#include <windows.h>

INT_PTR CALLBACK choicePromptProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void resetChoicePrompt();
