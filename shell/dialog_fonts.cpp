#include "shell/dialog_fonts.h"

#include <cstdint>

#include "shell/gui_state.h"

namespace {

// Heights are given at 96 DPI: a dialog's own font and sizes grow with the
// DPI, so its texts in these fonts grow with them, as the main window's do.
HFONT arial(int height) {
    const int scaled = static_cast<int>((static_cast<int64_t>(height) * gui().dpi + 48) / 96);
    return CreateFontA(scaled, 0, 0, 0, 50, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
}

}  // namespace

DialogFonts::DialogFonts(int largeHeight, int smallHeight)
    : large_(arial(largeHeight)), small_(arial(smallHeight)) {}

void DialogFonts::apply(HWND dialog, int controlId, HFONT font) {
    SendDlgItemMessageA(dialog, controlId, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}
