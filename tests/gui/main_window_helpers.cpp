#include "tests/gui/main_window_helpers.h"

#include "window/list_view_results.h"
#include "window/main_window.h"
#include "window/main_window_paint.h"

#include <commctrl.h>
#include <shlobj.h>

#include <cstring>
#include <fstream>

namespace {

int width() {
    return static_cast<int>(gui().clientWidth);
}

}  // namespace

POINT startAbortPoint() {
    return {width() - 120, 27};
}
POINT aboutPausePoint() {
    return {width() - 30, 12};
}
POINT helpPoint() {
    return {width() - 30, 35};
}
POINT chooseAPoint() {
    return {width() - 30, 80};
}
POINT switchPoint() {
    return {37, 27};
}

void darkenAll(HWND window) {
    for (int group = 0; group < 3; ++group) SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(150, 100));
}

void hoverAt(HWND window, POINT point) {
    SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(point.x, point.y));
}

void clickAt(HWND window, POINT point) {
    darkenAll(window);
    moveAndRelease(window, point.x, point.y);
}

// The worker's last calls into the window (the box update) follow its Idle, and
// the idle face follows on the next timer tick.
bool waitIdle(DWORD timeoutMs) {
    // The worker's last update of the controls is posted: the boxes open up once
    // it is served; the list shows every stored row once the last tick ran.
    const auto done = [] {
        return app().runState == Idle && IsWindowEnabled(gui().pathBoxA) &&
               listRowCount() == resultView().rowCount();
    };
    if (!pumpUntil(done, timeoutMs)) return false;
    pumpFor(150);
    return true;
}

int listRowCount() {
    return static_cast<int>(SendMessageA(gui().resultListView, LVM_GETITEMCOUNT, 0, 0));
}

std::string listCell(int row, int column) {
    char text[600];
    app().results->getCell(row, column, text);
    return text;
}

std::string shownCell(int row, int column) {
    char text[kPathTextSize] = {};
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof(text);
    SendMessageA(gui().resultListView, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    return text;
}

void expectShownRows(const std::vector<ResultRow>& expected) {
    ASSERT_EQ(listRowCount(), static_cast<int>(expected.size()));
    int differing = 0;
    for (int row = 0; row < listRowCount() && differing < 5; ++row) {
        for (int column = 0; column < 3; ++column) {
            const std::string& cell =
                expected[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
            if (shownCell(row, column) == cell) continue;
            ADD_FAILURE() << "row " << row << " column " << column << ": " << shownCell(row, column)
                          << " instead of " << cell;
            ++differing;
        }
    }
    // The newest row is kept in view.
    const int top = static_cast<int>(SendMessageA(gui().resultListView, LVM_GETTOPINDEX, 0, 0));
    const int page = static_cast<int>(SendMessageA(gui().resultListView, LVM_GETCOUNTPERPAGE, 0, 0));
    EXPECT_GE(top + page, listRowCount() - 1);
}

void pressKeys(std::initializer_list<WORD> keys) {
    std::vector<INPUT> inputs;
    for (WORD key : keys) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        inputs.push_back(input);
    }
    for (auto key = keys.end(); key != keys.begin();) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = *--key;
        input.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void clickScreen(POINT point, WORD heldKey) {
    SetCursorPos(point.x, point.y);
    INPUT inputs[4] = {};
    inputs[0].type = inputs[3].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = inputs[3].ki.wVk = heldKey;
    inputs[3].ki.dwFlags = KEYEVENTF_KEYUP;
    inputs[1].type = inputs[2].type = INPUT_MOUSE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    if (heldKey == 0) {
        SendInput(2, inputs + 1, sizeof(INPUT));
    } else {
        SendInput(4, inputs, sizeof(INPUT));
    }
}

POINT rowPoint(int row) {
    RECT rect = {};
    rect.left = LVIR_LABEL;
    SendMessageA(gui().resultListView, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rect));
    POINT point = {rect.left + 10, (rect.top + rect.bottom) / 2};
    ClientToScreen(gui().resultListView, &point);
    return point;
}

POINT cellPoint(int row, int column) {
    RECT rect = {};
    rect.top = column;
    rect.left = LVIR_LABEL;
    SendMessageA(gui().resultListView, LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&rect));
    POINT point = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ClientToScreen(gui().resultListView, &point);
    return point;
}

POINT headerPoint(int column) {
    HWND header = reinterpret_cast<HWND>(SendMessageA(gui().resultListView, LVM_GETHEADER, 0, 0));
    RECT rect = {};
    SendMessageA(header, HDM_GETITEMRECT, column, reinterpret_cast<LPARAM>(&rect));
    POINT point = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ClientToScreen(header, &point);
    return point;
}

std::string clipboardText() {
    std::string text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        text = static_cast<const char*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

std::string columnTitle(int column) {
    char title[64] = {};
    LVCOLUMNA header = {};
    header.mask = LVCF_TEXT;
    header.pszText = title;
    header.cchTextMax = sizeof(title);
    SendMessageA(gui().resultListView, LVM_GETCOLUMNA, column, reinterpret_cast<LPARAM>(&header));
    return title;
}

void moveToDpi(HWND window, uint32_t dpi) {
    RECT frame;
    GetWindowRect(window, &frame);
    const RECT suggested = {frame.left, frame.top, frame.left + 520 * static_cast<LONG>(dpi) / 96,
                            frame.top + 400 * static_cast<LONG>(dpi) / 96};
    SendMessageA(window, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(dpi, dpi),
                 reinterpret_cast<LPARAM>(&suggested));
    pumpFor(20);
}

bool bringToFront(HWND window) {
    SetForegroundWindow(window);
    return pumpUntil([window] { return GetForegroundWindow() == window; }, 5000);
}

void setBox(HWND window, int controlId, const std::string& text) {
    SendMessageA(GetDlgItem(window, controlId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::string boxText(HWND window, int controlId) {
    return dialogItemText(window, controlId);
}

HDROP makeDrop(const std::vector<std::string>& names) {
    std::string packed;
    for (const std::string& name : names) packed += name + '\0';
    packed += '\0';
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + packed.size());
    auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = FALSE;
    std::memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), packed.data(), packed.size());
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

bool dropReleased(HDROP drop) {
    return GlobalSize(drop) == 0;
}

bool dropNames(HWND window, const std::vector<std::string>& names) {
    HDROP drop = makeDrop(names);
    SendMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    const bool released = dropReleased(drop);
    if (!released) GlobalFree(drop);
    return released;
}

void writeFile(const std::string& path, const std::string& content) {
    std::ofstream file(path, std::ios::binary);
    file << content;
}

std::string makeTwinFolder(const std::string& parent, int count) {
    const std::string folder = parent + "twins\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    for (int index = 0; index < count; ++index) {
        writeFile(folder + "f" + std::to_string(index) + ".bin", std::string(64, 'k'));
    }
    return folder;
}

void startHeldSearch(HWND window, const std::string& parent) {
    setBox(window, kPathBoxAId, makeTwinFolder(parent, 40));
    // Paused before Start: Start leaves the gate closed, so the search holds
    // in its walk however fast it is.
    app().runControl = Paused;
    app().pauseGate.closeGate();
    clickAt(window, startAbortPoint());
}

namespace {

// A 32-bit top-down DIB of `width` x `height` selected into a new memory DC.
struct PixelCanvas {
    PixelCanvas(HDC compatible, int width, int height) : size(static_cast<size_t>(width) * height) {
        dc = CreateCompatibleDC(compatible);
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        previous = SelectObject(dc, bitmap);
    }
    ~PixelCanvas() {
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    std::vector<uint32_t> pixels() const {
        GdiFlush();
        const auto* first = static_cast<const uint32_t*>(bits);
        return std::vector<uint32_t>(first, first + size);
    }
    size_t size;
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ previous;
    void* bits = nullptr;
};

RECT aboutPauseRect() {
    return {width() - 58, 5, width() - 4, 23};
}

}  // namespace

std::vector<uint32_t> captureClient(HWND window, const RECT& area) {
    HDC windowDC = GetDC(window);
    PixelCanvas canvas(windowDC, area.right - area.left, area.bottom - area.top);
    BitBlt(canvas.dc, 0, 0, area.right - area.left, area.bottom - area.top, windowDC, area.left, area.top,
           SRCCOPY);
    ReleaseDC(window, windowDC);
    return canvas.pixels();
}

std::vector<uint32_t> captureTopBand(HWND window) {
    return captureClient(window, {0, 0, width(), 120});
}

std::vector<uint32_t> expectedAboutPauseButton(const char* text) {
    const RECT area = aboutPauseRect();
    HDC screen = GetDC(nullptr);
    PixelCanvas canvas(screen, area.right - area.left, area.bottom - area.top);
    ReleaseDC(nullptr, screen);
    RECT whole = {0, 0, area.right - area.left, area.bottom - area.top};
    FillRect(canvas.dc, &whole, GetSysColorBrush(COLOR_WINDOW));
    SetBkMode(canvas.dc, TRANSPARENT);
    SetTextColor(canvas.dc, RGB(0, 0, 0));
    HFONT font = createFaceFont(500);
    HGDIOBJ previousFont = SelectObject(canvas.dc, font);
    drawButton(canvas.dc, nullptr, SmallButton, 0, 0, false, text);
    SelectObject(canvas.dc, previousFont);
    DeleteObject(font);
    return canvas.pixels();
}

std::vector<uint32_t> shownAboutPauseButton(HWND window) {
    return captureClient(window, aboutPauseRect());
}

std::vector<uint32_t> repaintAndCaptureTopBand(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    pumpFor(50);
    return captureTopBand(window);
}
