#include "tests/gui/gui_harness.h"

#include <cstdio>
#include <cstring>

#include "shell/settings.h"
#include "startup/startup.h"

void resetProgramState() {
    AppState& state = app();
    std::memset(&state.settings, 0, sizeof(state.settings));
    state.runState = Idle;
    state.runControl = Running;
    state.progressPercent = 0;
    state.twinCount = 0;
    state.indexCount = 0;
    state.filesFound = 0;
    state.removeEmptyDirs = 0;
    state.checkZeroLength = 0;
    state.pauseGate.openGate();
    state.currentFileText.replace(PathText{});
    state.compareBufferA = nullptr;
    state.compareBufferB = nullptr;
    state.bytesRemaining = 0;
    state.results = nullptr;
    state.updateControls = [] {};
    state.reportNoMemory = [] {};
    state.allocateBlock = nullptr;
    state.releaseBlock = nullptr;
    gui() = GuiState{};
}

std::string makeTempFolder() {
    static int counter = 0;
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    for (;;) {
        char name[MAX_PATH + 64];
        std::snprintf(name, sizeof(name), "%skestrow_gui_%lu_%d", base, GetCurrentProcessId(), ++counter);
        if (CreateDirectoryA(name, nullptr)) return std::string(name) + "\\";
    }
}

void removeTempFolder(const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            std::string path = folder + name;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                removeTempFolder(path + "\\");
            } else {
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

HWND openTestWindow(const std::string& folder, const std::function<void(Settings&)>& prepare) {
    GuiState& state = gui();
    state.instance = GetModuleHandleA(nullptr);
    copyPathText(state.programDirectory, folder.c_str());
    copyPathText(state.dataDirectory, folder.c_str());
    uint32_t firstRun = loadSettings();
    if (prepare) prepare(app().settings);
    state.osGeneration = osGenerationOf(classifyPlatform());
    return openMainWindow(firstRun);
}

static void deleteImages() {
    GuiState& state = gui();
    if (state.switchBitmap) DeleteObject(state.switchBitmap);
    if (state.switchHotBitmap) DeleteObject(state.switchHotBitmap);
    if (state.smallIcon) DestroyIcon(state.smallIcon);
    if (state.largeIcon) DestroyIcon(state.largeIcon);
    state.switchBitmap = state.switchHotBitmap = nullptr;
    state.smallIcon = state.largeIcon = nullptr;
}

void closeTestWindow() {
    HWND window = gui().mainWindow;
    if (window && IsWindow(window)) DestroyWindow(window);
    pumpFor(30);
    // The class holds this window's icons; the next window registers afresh.
    UnregisterClassA("KestBox", gui().instance);
    deleteImages();
}

// Serves every waiting message; the quit message a destroyed main window
// posts is dropped so that later modal loops keep running.
static void drainQueue() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) continue;
        routeMessage(message);
    }
}

bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        drainQueue();
        if (done()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void pumpFor(DWORD milliseconds) {
    pumpUntil([] { return false; }, milliseconds);
}

void moveAndRelease(HWND window, int x, int y) {
    SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

DialogAnswerer::DialogAnswerer(std::vector<ExpectedDialog> dialogs, DWORD timeoutMs)
    : expected_(static_cast<int>(dialogs.size())) {
    watcher_.start([this, dialogs, timeoutMs] { watch(dialogs, timeoutMs); });
}

DialogAnswerer::~DialogAnswerer() {
    stop_ = true;
    finish();
}

bool DialogAnswerer::finish() {
    pumpUntil([this] { return done_.load(); }, INFINITE);
    watcher_.join();
    return answered_ == expected_;
}

// Waits up to `timeoutMs` for `condition`; false when it timed out or the
// answerer was told to stop.
static bool waitFor(const std::function<bool()>& condition, DWORD timeoutMs, const std::atomic<bool>& stop) {
    DWORD start = GetTickCount();
    while (!condition()) {
        if (stop || GetTickCount() - start >= timeoutMs) return false;
        Sleep(20);
    }
    return true;
}

void DialogAnswerer::watch(std::vector<ExpectedDialog> dialogs, DWORD timeoutMs) {
    for (const ExpectedDialog& expected : dialogs) {
        HWND dialog = nullptr;
        auto appeared = [&] { return (dialog = findDialog(expected.caption, expected.owner)) != nullptr; };
        if (!waitFor(appeared, timeoutMs, stop_)) break;
        if (expected.inspect) expected.inspect(dialog);
        if (expected.buttonId != 0) {
            HWND button = GetDlgItem(dialog, expected.buttonId);
            PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(expected.buttonId, BN_CLICKED),
                         reinterpret_cast<LPARAM>(button));
        }
        if (!waitFor([dialog] { return !IsWindow(dialog); }, timeoutMs, stop_)) break;
        ++answered_;
    }
    done_ = true;
}

static std::string screenshotFolder() {
    char program[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    std::string folder = program;
    folder = folder.substr(0, folder.find_last_of('\\') + 1) + "screenshots\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

static bool writeBitmapFile(const std::string& path, const BITMAPINFOHEADER& header,
                            const std::vector<char>& pixels) {
    BITMAPFILEHEADER fileHeader = {};
    fileHeader.bfType = 0x4D42;
    fileHeader.bfOffBits = sizeof(fileHeader) + sizeof(header);
    fileHeader.bfSize = fileHeader.bfOffBits + static_cast<DWORD>(pixels.size());
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool ok = std::fwrite(&fileHeader, sizeof(fileHeader), 1, file) == 1 &&
              std::fwrite(&header, sizeof(header), 1, file) == 1 &&
              std::fwrite(pixels.data(), 1, pixels.size(), file) == pixels.size();
    return std::fclose(file) == 0 && ok;
}

bool saveScreenshot(HWND window, const char* name) {
    RECT frame;
    if (!GetWindowRect(window, &frame)) return false;
    int width = frame.right - frame.left;
    int height = frame.bottom - frame.top;
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    pumpFor(50);

    HDC windowDC = GetWindowDC(window);
    HDC memoryDC = CreateCompatibleDC(windowDC);
    HBITMAP bitmap = CreateCompatibleBitmap(windowDC, width, height);
    HGDIOBJ previous = SelectObject(memoryDC, bitmap);
    BitBlt(memoryDC, 0, 0, width, height, windowDC, 0, 0, SRCCOPY);
    SelectObject(memoryDC, previous);

    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    std::vector<char> pixels(static_cast<size_t>((width * 3 + 3) & ~3) * height);
    GetDIBits(memoryDC, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&header),
              DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memoryDC);
    ReleaseDC(window, windowDC);
    return writeBitmapFile(screenshotFolder() + name + ".bmp", header, pixels);
}

void GuiTest::SetUp() {
    resetProgramState();
    folder_ = makeTempFolder();
    window_ = openTestWindow(folder_, [this](Settings& settings) { prepareSettings(settings); });
    ASSERT_NE(window_, nullptr);
    pumpFor(20);
}

void GuiTest::TearDown() {
    closeTestWindow();
    removeTempFolder(folder_);
    resetProgramState();
}
