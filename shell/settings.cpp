#include "shell/settings.h"

#include <windows.h>
#include <shlobj.h>

#include <cstring>

#include "engine/base/owned_win32.h"
#include "resources/version.h"
#include "shell/gui_state.h"
#include "shell/settings_model.h"

static_assert(sizeof(WINDOWPLACEMENT) == sizeof(Settings::windowPlacement), "placement record is 44 bytes");

static bool fileExists(const char* path) {
    const OwnedFileHandle file(
        CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    return static_cast<bool>(file);
}

static bool onRemovableDrive(const char* folder) {
    char root[4] = {};
    for (int i = 0; i < 3 && folder[i] != '\0'; ++i) root[i] = folder[i];
    return GetDriveTypeA(root) == DRIVE_REMOVABLE;
}

// The per-user folder "<application data>\Brevant\Kestrow\", created as
// needed. Returns false when the application-data folder is unknown.
static bool perUserFolder(char* folder) {
    char appData[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathA(nullptr, appData, CSIDL_APPDATA, FALSE)) return false;
    PathText vendor;
    if (!joinPathText(vendor, appData, "\\" KESTROW_VENDOR_FOLDER)) return false;
    CreateDirectoryA(vendor, nullptr);
    PathText product;
    if (!joinPathText(product, vendor, "\\" KESTROW_NAME)) return false;
    CreateDirectoryA(product, nullptr);
    return joinPathText(folder, product, "\\");
}

void locateFolders() {
    GuiState& state = gui();
    PathText program = {};
    DWORD found = SearchPathA(nullptr, KESTROW_EXE_NAME, nullptr, kPathTextSize, program, nullptr);
    if (found == 0 || found >= kPathTextSize) program[0] = '\0';
    folderOfPath(program, state.programDirectory);
    copyPathText(state.dataDirectory, state.programDirectory);
    if (onRemovableDrive(state.programDirectory)) return;

    PathText marker;
    if (!joinPathText(marker, state.programDirectory, KESTROW_PER_USER_MARKER)) return;
    if (!fileExists(marker)) return;
    PathText perUser;
    if (perUserFolder(perUser)) copyPathText(state.dataDirectory, perUser);
}

static bool settingsFilePath(char* path) {
    return joinPathText(path, gui().dataDirectory, KESTROW_SETTINGS_FILE);
}

// Reads up to `capacity` bytes; returns how many arrived.
static DWORD readWhole(HANDLE file, uint8_t* buffer, DWORD capacity) {
    DWORD total = 0;
    while (total < capacity) {
        DWORD got = 0;
        if (!ReadFile(file, buffer + total, capacity - total, &got, nullptr) || got == 0) break;
        total += got;
    }
    return total;
}

uint32_t loadSettings() {
    AppState& state = app();
    PathText path;
    uint8_t image[kSettingsFileSize] = {};
    DWORD length = 0;
    if (settingsFilePath(path)) {
        const OwnedFileHandle file(CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        if (file) length = readWhole(file.get(), image, sizeof(image));
    }
    if (!parseSettingsFile(image, length, state.settings)) {
        applyDefaultSettings(state.settings);
        return 1;
    }
    PathText statusText;
    state.currentFileText.read(statusText);
    restoreStatusTail(state.settings, statusText);
    state.currentFileText.replace(statusText);
    return 0;
}

bool saveSettings() {
    AppState& state = app();
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    if (GetWindowPlacement(gui().mainWindow, &placement)) {
        std::memcpy(state.settings.windowPlacement, &placement, sizeof(placement));
    }
    PathText statusText;
    state.currentFileText.read(statusText);
    captureStatusTail(state.settings, statusText);

    PathText path;
    if (!settingsFilePath(path)) return false;
    uint8_t image[kSettingsFileSize];
    serialiseSettings(state.settings, image);
    const OwnedFileHandle file(
        CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    // A short write leaves a file too short to load: the next start takes the defaults.
    DWORD written = 0;
    return WriteFile(file.get(), image, sizeof(image), &written, nullptr) && written == sizeof(image);
}
