// The folder index: a flat list of every file below the searched folder, in
// walk order (depth first, each subfolder walked where its entry is met).
#pragma once

#include <cstdint>
#include <vector>

#include "engine/app_state.h"
#include "engine/fs.h"
#include "engine/path_text.h"

struct FileIndexEntry {
    PathText path;
    // "Quick Dir": the low 32 bits of the file's size, 0xFFFFFFFF when it
    // cannot be opened; "Directory": 0.
    uint32_t size;
    // "Quick Dir" with "Hash" on: the file's checksum; otherwise 0.
    uint32_t hash;
};

constexpr uint32_t kIndexCapacity = 200000;
constexpr uint32_t kIndexFillLimit = 149900;
constexpr uint32_t kUnreadableSize = 0xFFFFFFFFu;

struct FileIndex {
    // kIndexCapacity zero-filled entries; the entry at indexCount always
    // exists and holds an empty path (the end marker).
    FileIndexEntry* entries = nullptr;
    // Each entry's full size as the folder listing reported it.
    uint64_t* listedSizes = nullptr;
    uint32_t fillLimit = kIndexFillLimit;
    // Identities of the folders being walked, so a link back to one of them
    // cannot send the walk round in a circle.
    std::vector<fs::FileIdentity> openFolders;
};

// Obtains the zero-filled blocks of the index; false (nothing held) when a
// block cannot be had.
bool obtainFileIndex(AppState& state, FileIndex& index);
void releaseFileIndex(AppState& state, FileIndex& index);

// 1 when `name` is neither "." nor "..".
int isRealFolderName(const char* name);

// Walks `folderPath` and everything below it into `index`, raising
// state.indexCount per file. Stops entering folders once an abort is
// requested; removes folders left without files when removeEmptyDirs is on.
void indexFolder(AppState& state, FileIndex& index, const char* folderPath);

// Handles one entry of `folderPath`'s listing: recurses into a folder, adds a
// file. A path that would not fit a PathText is skipped.
void indexEntry(AppState& state, const fs::FolderEntry& entry, const char* folderPath, FileIndex& index);
