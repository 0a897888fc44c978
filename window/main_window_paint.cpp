// Painting of the main window's face and the 100 ms progress repaint.
#include "window/main_window_paint.h"

#include "shell/close_path.h"
#include "shell/gdi_owners.h"
#include "shell/gui_state.h"
#include "window/clicks.h"
#include "window/dpi_model.h"
#include "window/list_view_results.h"
#include "window/main_window.h"
#include "window/main_window_options.h"

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kButtonFace = RGB(213, 215, 183);
constexpr COLORREF kLitButtonFace = RGB(229, 231, 199);
constexpr int kSwitchSize = 24;
constexpr int kFaceWeight = 500;

RECT toRect(const Rect& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

void drawText(HDC dc, const char* text, const Rect& box, UINT format) {
    RECT area = toRect(box);
    DrawTextA(dc, text, -1, &area, format);
}

// A value above the finished marker is shown, and kept, as 99; a worker's newer
// value wins over this correction.
uint32_t shownProgress(uint32_t percent) {
    const uint32_t shown = shownPercent(percent);
    if (shown != percent) app().progressPercent.compare_exchange_strong(percent, shown);
    return shown;
}

// The first idle paint after a search clears the taskbar progress once.
void finishTaskbarProgress(HWND window) {
    uint32_t finished = kProgressFinished;
    if (!app().progressPercent.compare_exchange_strong(finished, 100)) return;
    if (gui().osGeneration > 3) showTaskbarProgress(window, kProgressFinished);
}

FaceInput faceInput(uint32_t runState, uint32_t percent, const char* currentFile) {
    const GuiState& state = gui();
    FaceInput input;
    input.width = state.clientWidth;
    input.searchMode = app().settings.searchMode;
    input.runState = runState;
    input.runControl = app().runControl;
    input.progressPercent = percent;
    input.filesFound = app().filesFound;
    input.currentFile = currentFile;
    input.hover = hoverFlags();
    return input;
}

Face faceOf(uint32_t runState, uint32_t percent) {
    PathText currentFile;
    app().currentFileText.read(currentFile);
    return describeFace(faceInput(runState, percent, currentFile));
}

void drawBand(HDC dc, const Face& face) {
    const RECT band = toRect(face.bandRect);
    const OwnedBrush brush(CreateSolidBrush(kBlack));
    FillRect(dc, &band, brush.get());
    if (face.percentText.empty()) return;
    SetTextColor(dc, kWhite);
    drawText(dc, face.percentText.c_str(), face.bandRect, DT_SINGLELINE | DT_CENTER);
    SetTextColor(dc, kBlack);
}

// The width `text` takes in the font selected into `dc`.
int textWidth(HDC dc, const char* text) {
    RECT measured = {0, 0, 0, 0};
    DrawTextA(dc, text, -1, &measured, DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
    return measured.right - measured.left;
}

// A label stays inside its box at every DPI: a font does not always widen in
// step with the scale, so a label that would be cut is drawn a size smaller,
// and smaller again, until it fits.
void drawLabel(HDC dc, const FaceLabel& label) {
    constexpr int kSmallestHeight = 10;
    const int room = label.box.right - label.box.left;
    if (textWidth(dc, label.text) <= room) {
        drawText(dc, label.text, label.box, DT_SINGLELINE);
        return;
    }
    for (int height = kFaceFontHeight - 1; height >= kSmallestHeight; --height) {
        const OwnedFont smaller(createFaceFont(kFaceWeight, kBaseDpi, height));
        const Selection inUse(dc, smaller.get());
        if (textWidth(dc, label.text) <= room || height == kSmallestHeight) {
            drawText(dc, label.text, label.box, DT_SINGLELINE);
            return;
        }
    }
}

// The face's texts are the program's ANSI texts turned into UTF-16 by its
// code page, as the list-view turns them: a name reads the same in both,
// whatever character set the font would pick for ANSI text.
std::wstring wideText(const std::string& text) {
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), size, &wide[0], length);
    return wide;
}

// The lead in full, then the path in the room left before the buttons, cut in
// the middle where it does not fit so that its file name stays in view.
void drawCurrentFileLine(HDC dc, const Face& face) {
    const ShownFileLine line = shownFileLine(face);
    RECT area = toRect(face.currentFileRect);
    constexpr UINT kFormat = DT_SINGLELINE | DT_NOPREFIX;
    if (!line.lead.empty()) {
        const int length = static_cast<int>(line.lead.size());
        RECT measured = area;
        DrawTextW(dc, line.lead.c_str(), length, &measured, kFormat | DT_CALCRECT);
        DrawTextW(dc, line.lead.c_str(), length, &area, kFormat);
        area.left = measured.right;
    }
    if (area.left >= area.right || line.path.empty()) return;
    DrawTextW(dc, line.path.c_str(), static_cast<int>(line.path.size()), &area, kFormat | DT_PATH_ELLIPSIS);
}

void drawFace(HWND window, HDC dc) {
    const uint32_t runState = app().runState;
    if (gui().clientWidth <= 200) return;
    uint32_t percent = app().progressPercent;
    if (showsProgressBand(runState)) {
        if (gui().osGeneration > 3) showTaskbarProgress(window, percent);
        percent = shownProgress(percent);
    } else if (!busy(runState)) {
        finishTaskbarProgress(window);
    }
    const Face face = faceOf(runState, percent);

    // The face is laid out at 96 DPI; the device context scales it to the window's.
    if (gui().dpi != kBaseDpi) {
        SetMapMode(dc, MM_ANISOTROPIC);
        SetWindowExtEx(dc, kBaseDpi, kBaseDpi, nullptr);
        SetViewportExtEx(dc, gui().dpi, gui().dpi, nullptr);
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kBlack);
    const OwnedFont font(createFaceFont(kFaceWeight));
    const Selection fontInUse(dc, font.get());
    for (const FaceLabel& label : face.labels) drawLabel(dc, label);
    if (face.band) drawBand(dc, face);
    if (face.currentFileLine) drawCurrentFileLine(dc, face);
    const OwnedMemoryDC memoryDC(CreateCompatibleDC(dc));
    for (const FaceButton& button : face.buttons) {
        drawButton(dc, memoryDC.get(), button.kind, button.top, button.left, button.lit, button.text);
    }
}

void drawRoundButton(HDC dc, int top, int left, int width, int height, bool lit, const char* text) {
    const OwnedBrush brush(CreateSolidBrush(lit ? kLitButtonFace : kButtonFace));
    const Selection brushInUse(dc, brush.get());
    RoundRect(dc, left, top, left + width, top + height, 20, 20);
    if (text == nullptr) return;
    RECT box = {left + 2, top, left + width - 2, top + height};
    DrawTextA(dc, text, -1, &box, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
}

// Copies the 24 x 24 switch bitmap with its upper-left, upper-right and
// lower-left corners sent to the three given points.
void turnSwitch(HDC dc, HDC memoryDC, POINT upperLeft, POINT upperRight, POINT lowerLeft) {
    const POINT corners[3] = {upperLeft, upperRight, lowerLeft};
    PlgBlt(dc, corners, memoryDC, 0, 0, kSwitchSize, kSwitchSize, nullptr, 0, 0);
}

void drawSwitch(HDC dc, HDC memoryDC, ButtonKind kind, int top, int left, bool lit) {
    const Selection bitmapInUse(memoryDC, lit ? gui().switchHotBitmap : gui().switchBitmap);
    const int right = left + kSwitchSize;
    const int bottom = top + kSwitchSize;
    if (kind == SwitchStraight) {
        BitBlt(dc, left, top, kSwitchSize, kSwitchSize, memoryDC, 0, 0, SRCCOPY);
    } else if (kind == SwitchMirrored) {
        turnSwitch(dc, memoryDC, {right, top}, {left, top}, {right, bottom});
    } else {
        turnSwitch(dc, memoryDC, {right, bottom}, {left, bottom}, {right, top});
    }
}

}  // namespace

ShownFileLine shownFileLine(const Face& face) {
    return {wideText(face.currentFileLead), wideText(face.currentFileText)};
}

ShownFileLine shownFileLineNow() {
    const uint32_t runState = app().runState;
    const Face face = faceOf(runState, shownPercent(app().progressPercent));
    if (!face.currentFileLine) return {};
    return shownFileLine(face);
}

void paintMainWindow(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    drawFace(window, dc);
    EndPaint(window, &paint);
}

void drawButton(HDC paintDC, HDC memoryDC, ButtonKind kind, int top, int left, bool lit, const char* text) {
    switch (kind) {
        case SmallButton: drawRoundButton(paintDC, top, left, 54, 18, lit, text); return;
        case LargeButton: drawRoundButton(paintDC, top, left, 100, 24, lit, text); return;
        default: drawSwitch(paintDC, memoryDC, kind, top, left, lit); return;
    }
}

// While a job runs only the band is repainted, and not at all while paused or
// aborting; once the job is over the whole client area is, so the idle face
// returns even if the window was minimised or covered when the job ended.
void onProgressTimer(HWND window) {
    // The state is read first: a worker writes its last rows before it goes
    // idle, so a refresh after an idle state is read shows them all before the
    // timer stops.
    const uint32_t runState = app().runState;
    resultView().refreshView();
    if (busy(runState)) {
        if (app().runControl == Running) invalidateArea(window, progressRect(gui().clientWidth), true);
        return;
    }
    InvalidateRect(window, nullptr, TRUE);
    KillTimer(window, kProgressTimer);
}
