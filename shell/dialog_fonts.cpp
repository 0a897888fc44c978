#include "shell/dialog_fonts.h"

namespace {

HFONT arial(int height) {
    return CreateFontA(height, 0, 0, 0, 50, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
}

}  // namespace

DialogFonts::DialogFonts(int largeHeight, int smallHeight)
    : large_(arial(largeHeight)), small_(arial(smallHeight)) {}

void DialogFonts::apply(HWND dialog, int controlId, HFONT font) {
    SendDlgItemMessageA(dialog, controlId, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}
