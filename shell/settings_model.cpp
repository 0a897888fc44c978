#include "shell/settings_model.h"

#include <cstring>

#include "engine/base/text_cut.h"
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
    // The tail is the start of a longer text: its last character may be cut.
    std::memcpy(statusText, settings.statusTail, kStatusTailSize);
    statusText[wholeCharactersLength(statusText, strnlen(statusText, kStatusTailSize))] = '\0';
}

void folderOfPath(const char* path, char* folder) {
    const std::size_t pathLength = std::strlen(path);
    const std::size_t lastSlash = lastSeparator(path, pathLength, '\\');
    std::size_t length = lastSlash != pathLength ? lastSlash + 1 : pathLength;
    length = cutLength(path, length, kPathTextSize - 1);
    std::memcpy(folder, path, length);
    folder[length] = '\0';
}
