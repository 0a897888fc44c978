// The settings file's layout: an 8-byte magic followed by the 2000-byte
// Settings block, byte for byte as it lies in memory. Plain functions, no
// platform calls, so the layout can be checked anywhere.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/job/settings.h"

constexpr std::size_t kSettingsMagicSize = 8;
constexpr std::size_t kSettingsFileSize = kSettingsMagicSize + sizeof(Settings);  // 2008
constexpr std::size_t kStatusTailSize = sizeof(Settings::statusTail);

// Zeroes the block and applies the defaults of a first run: File mode, Hash
// on, match 95%, alpha 75, not on top, not transparent.
void applyDefaultSettings(Settings& settings);

// Takes the block out of a file image when the image is sound: at least 2008
// bytes, the magic "KEST1300", searchMode 0..2 and matchPercent 1..100.
// Returns false and leaves `settings` untouched for a damaged image.
bool parseSettingsFile(const uint8_t* image, std::size_t length, Settings& settings);

// Writes the magic and the block into the 2008-byte `image`.
void serialiseSettings(const Settings& settings, uint8_t* image);

// The status tail carries the first 96 bytes of the status text across runs.
void captureStatusTail(Settings& settings, const char* statusText);
// Puts the tail back at the start of the 600-byte status text, keeping it
// NUL-terminated.
void restoreStatusTail(const Settings& settings, char* statusText);

// The folder part of an executable's path: everything up to and including
// the last backslash; a text without one is taken whole, an empty one stays
// empty. `folder` is a 600-byte path text.
void folderOfPath(const char* path, char* folder);
