// The two "Arial" fonts of a dialog (buttons and message), owned by its
// opener for as long as the dialog lives and deleted when it goes.
#pragma once

#include <windows.h>

class DialogFonts {
public:
    DialogFonts(int largeHeight, int smallHeight);
    ~DialogFonts();
    DialogFonts(const DialogFonts&) = delete;
    DialogFonts& operator=(const DialogFonts&) = delete;

    HFONT large() const { return large_; }
    HFONT smallFont() const { return small_; }
    // Sends `font` to control `controlId` of `dialog`, redrawing it.
    static void apply(HWND dialog, int controlId, HFONT font);

private:
    HFONT large_;
    HFONT small_;
};
