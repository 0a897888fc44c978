// The settings block: the exact 2000-byte memory image that follows the
// 8-byte magic in the settings file. Its layout is fixed; keep it plain data.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/base/path_text.h"

enum SearchMode : uint32_t { FileMode = 0, DirectoryMode = 1, QuickDirMode = 2 };
enum BatchDeleteMode : uint32_t { RecycleMode = 0, DeleteMode = 1, MoveToMode = 2 };

struct Settings {
    uint32_t searchMode;          // file offset 8
    uint32_t onTop;               // 12
    uint32_t matchPercent;        // 16
    uint32_t reserved20;          // 20, never touched by the program's logic
    uint32_t transparent;         // 24
    uint32_t useHash;             // 28
    uint32_t batchDeleteMode;     // 32
    uint32_t alpha;               // 36
    uint32_t overrideReadOnly;    // 40
    uint8_t reserved44[24];       // 44, never touched by the program's logic
    PathText moveDirectory;       // 68
    uint8_t windowPlacement[44];  // 668, the platform's WINDOWPLACEMENT record
    PathText pathA;               // 712
    PathText pathB;               // 1312
    uint8_t statusTail[96];       // 1912, first 96 bytes of the status text at close
};

static_assert(sizeof(Settings) == 2000, "settings block must be 2000 bytes");
static_assert(offsetof(Settings, moveDirectory) == 68 - 8, "moveDirectory offset");
static_assert(offsetof(Settings, windowPlacement) == 668 - 8, "windowPlacement offset");
static_assert(offsetof(Settings, pathA) == 712 - 8, "pathA offset");
static_assert(offsetof(Settings, statusTail) == 1912 - 8, "status tail offset");
