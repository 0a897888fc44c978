// Placeholder bodies; the choice prompt replaces them.
#include "shell/choice_prompt.h"

INT_PTR CALLBACK choicePromptProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
void resetChoicePrompt() {}
