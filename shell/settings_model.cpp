#include "shell/settings_model.h"

#include <cstring>

#include "resources/version.h"

static_assert(sizeof(KESTROW_SETTINGS_MAGIC) - 1 == kSettingsMagicSize, "magic is eight characters");

void applyDefaultSettings(Settings& settings) {
    std::memset(&settings, 0, sizeof(settings));
    settings.searchMode = FileMode;
    settings.onTop = 0;
    settings.matchPercent = 95;
    settings.useHash = 1;
    settings.alpha = 75;
    settings.overrideReadOnly = 0;
}

bool parseSettingsFile(const uint8_t* image, std::size_t length, Settings& settings) {
    if (length < kSettingsFileSize) return false;
    if (std::memcmp(image, KESTROW_SETTINGS_MAGIC, kSettingsMagicSize) != 0) return false;
    Settings read;
    std::memcpy(&read, image + kSettingsMagicSize, sizeof(read));
    if (read.searchMode > QuickDirMode) return false;
    if (read.matchPercent < 1 || read.matchPercent > 100) return false;
    settings = read;
    return true;
}

void serialiseSettings(const Settings& settings, uint8_t* image) {
    std::memcpy(image, KESTROW_SETTINGS_MAGIC, kSettingsMagicSize);
    std::memcpy(image + kSettingsMagicSize, &settings, sizeof(settings));
}

void captureStatusTail(Settings& settings, const char* statusText) {
    std::memcpy(settings.statusTail, statusText, kStatusTailSize);
}

void restoreStatusTail(const Settings& settings, char* statusText) {
    std::memcpy(statusText, settings.statusTail, kStatusTailSize);
    statusText[kStatusTailSize] = '\0';
}

void folderOfPath(const char* path, char* folder) {
    const char* lastSlash = std::strrchr(path, '\\');
    std::size_t length = lastSlash ? static_cast<std::size_t>(lastSlash - path) + 1 : std::strlen(path);
    if (length >= kPathTextSize) length = kPathTextSize - 1;
    std::memcpy(folder, path, length);
    folder[length] = '\0';
}
