// The two "Arial" fonts of a dialog (buttons and message), owned by its
// opener for as long as the dialog lives and deleted when it goes. Their
// heights are given at 96 DPI and scaled to the main window's DPI.
#pragma once

#include <windows.h>

#include "shell/gdi_owners.h"

class DialogFonts {
public:
    DialogFonts(int largeHeight, int smallHeight);

    HFONT large() const { return large_.get(); }
    HFONT smallFont() const { return small_.get(); }
    // Sends `font` to control `controlId` of `dialog`, redrawing it.
    static void apply(HWND dialog, int controlId, HFONT font);

private:
    OwnedFont large_;
    OwnedFont small_;
};
