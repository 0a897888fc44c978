#include "startup/startup.h"

#include <commctrl.h>
#include <objbase.h>

#include <cstring>
#include <vector>

#include "actions/action_dialog.h"
#include "resources/resource_ids.h"
#include "resources/version.h"
#include "shell/gui_state.h"
#include "shell/restore_model.h"
#include "shell/settings.h"
#include "window/dpi.h"
#include "window/dpi_model.h"
#include "window/keyboard.h"
#include "window/list_keys.h"
#include "window/main_window_proc.h"
#include "window/row_actions.h"

static const char kWindowClass[] = "KestBox";
constexpr int kWindowWidth = 520;
constexpr int kWindowHeight = 400;

PlatformCode classifyPlatform() {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    GetVersionExA(&info);
    PlatformVersion version = {info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion,
                               GetSystemMetrics(SM_TABLETPC) != 0, GetSystemMetrics(SM_MEDIACENTER) != 0};
    return classifyVersion(version);
}

void prepareProcess() {
    gui().instance = GetModuleHandleA(nullptr);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    // A worker never shows a window: the window tells "Not enough memory" from
    // the outcome a job posts to it, and Delete ALL once its confirmation is gone.
    app().reportNoMemory = [] {};
}

static void loadImages() {
    GuiState& state = gui();
    state.smallIcon = static_cast<HICON>(
        LoadImageA(state.instance, MAKEINTRESOURCEA(kProgramIcon), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
    state.largeIcon = static_cast<HICON>(
        LoadImageA(state.instance, MAKEINTRESOURCEA(kProgramIcon), IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR));
    state.switchBitmap = LoadBitmapA(state.instance, kSwitchBitmapName);
    state.switchHotBitmap = LoadBitmapA(state.instance, kSwitchHotBitmapName);
}

// A second registration (a window opened again in the same process) fails
// harmlessly; the first class stays in force.
static void registerWindowClass() {
    GuiState& state = gui();
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_BYTEALIGNWINDOW | CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = mainWindowProc;
    windowClass.hInstance = state.instance;
    windowClass.hIcon = state.largeIcon;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kWindowClass;
    windowClass.hIconSm = state.smallIcon;
    RegisterClassExA(&windowClass);
}

static void initialiseCommonControls() {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
}

static BOOL CALLBACK collectWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM areas) {
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (GetMonitorInfoA(monitor, &info)) {
        const RECT& work = info.rcWork;
        reinterpret_cast<std::vector<ScreenRect>*>(areas)->push_back(
            {work.left, work.top, work.right, work.bottom});
    }
    return TRUE;
}

static std::vector<ScreenRect> monitorWorkAreas() {
    std::vector<ScreenRect> areas;
    EnumDisplayMonitors(nullptr, nullptr, collectWorkArea, reinterpret_cast<LPARAM>(&areas));
    return areas;
}

// A saved placement that is too small or off every screen would keep the
// window out of reach for good; the window then opens as on a first run.
static void placeMainWindow(HWND window, uint32_t firstRun) {
    if (firstRun == 0) {
        WINDOWPLACEMENT placement;
        std::memcpy(&placement, app().settings.windowPlacement, sizeof(placement));
        const RECT& normal = placement.rcNormalPosition;
        if (placementRestorable({normal.left, normal.top, normal.right, normal.bottom}, monitorWorkAreas()))
            SetWindowPlacement(window, &placement);
    }
    ShowWindow(window, SW_SHOW);
}

HWND openMainWindow(uint32_t firstRun) {
    GuiState& state = gui();
    initialiseCommonControls();
    loadImages();
    registerWindowClass();
    openRowActions = openActionDialog;
    // The first-run size is the 96-DPI one, scaled to the screen's DPI.
    const uint32_t dpi = systemDpi();
    const int width = scaledLength(kWindowWidth, dpi);
    const int height = scaledLength(kWindowHeight, dpi);
    int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    app().pauseGate.openGate();
    state.mainWindow = CreateWindowExA(WS_EX_ACCEPTFILES, kWindowClass, KESTROW_TITLE, WS_OVERLAPPEDWINDOW,
                                       left, top, width, height, nullptr, nullptr, state.instance, nullptr);
    if (state.mainWindow) placeMainWindow(state.mainWindow, firstRun);
    return state.mainWindow;
}

bool startUp() {
    prepareProcess();
    locateFolders();
    uint32_t firstRun = loadSettings();
    PlatformCode code = classifyPlatform();
    if (!platformSupported(code)) {
        MessageBoxA(nullptr, "Sorry; Win2K or greater only", KESTROW_TITLE, MB_OK);
        return false;
    }
    gui().osGeneration = osGenerationOf(code);
    openMainWindow(firstRun);
    return true;
}

void routeMessage(MSG& message) {
    if (handleShortcutKey(message)) return;
    if (handleListKey(message)) return;
    if (IsDialogMessageA(gui().mainWindow, &message)) return;
    TranslateMessage(&message);
    DispatchMessageA(&message);
}

int runMessageLoop() {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) routeMessage(message);
    return static_cast<int>(message.wParam);
}
