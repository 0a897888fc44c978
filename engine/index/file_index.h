// The folder index: a flat list of every file below the searched folder, in
// walk order (depth first, each subfolder walked where its entry is met). It
// grows with the tree: paths are packed end to end in blocks, entries are
// kept in blocks of fixed count, so a file costs its path and a few numbers.
// The blocks are given back by release() or, at the latest, when the index goes.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/base/fs.h"
#include "engine/base/path_text.h"
#include "engine/job/app_state.h"
#include "engine/job/search_options.h"

// Checksums and what else the pairing learns of a file are kept by the
// pairing itself, for the files it reads.
struct FileIndexEntry {
    const char* path;
    // The file's full size as the folder listing reported it.
    uint64_t listedSize;
};

// Entries per block and bytes per block of paths.
constexpr uint32_t kIndexBlockEntries = 16384;
constexpr uint32_t kIndexPathBlockBytes = 1u << 20;

class FileIndex {
public:
    FileIndex() = default;
    FileIndex(const FileIndex&) = delete;
    FileIndex& operator=(const FileIndex&) = delete;

    FileIndexEntry& entry(uint32_t position) {
        return entriesOf(position / kIndexBlockEntries)[position % kIndexBlockEntries];
    }
    const FileIndexEntry& entry(uint32_t position) const {
        return entriesOf(position / kIndexBlockEntries)[position % kIndexBlockEntries];
    }
    uint32_t count() const { return count_; }
    // True once a block could not be had: the walk stopped short of the tree.
    bool outOfMemory() const { return outOfMemory_; }

    // Adds a file at position count(); false (nothing added, outOfMemory set)
    // when the memory for it cannot be had.
    bool add(AppState& state, const char* path, uint64_t listedSize);
    void release();

    // Identities of the folders being walked, so a link back to one of them
    // cannot send the walk round in a circle.
    std::vector<fs::FileIdentity> openFolders;
    // Files and folders the search's filter left out so far: a folder that
    // holds any of them is never removed as empty.
    uint32_t leftOut = 0;

private:
    const char* storePath(AppState& state, const char* path);
    FileIndexEntry* entriesOf(std::size_t block) const {
        return reinterpret_cast<FileIndexEntry*>(entryBlocks_[block].get());
    }

    std::vector<OwnedBlock> entryBlocks_;
    std::vector<OwnedBlock> pathBlocks_;
    uint32_t pathBytesUsed_ = kIndexPathBlockBytes;
    uint32_t count_ = 0;
    bool outOfMemory_ = false;
};

// 1 when `name` is neither "." nor "..".
int isRealFolderName(const char* name);

// Walks `folderPath` and everything below it into `index`, raising
// state.indexCount per file and leaving out what the options' filter names. Stops entering folders once an
// abort is requested and stops altogether when the index runs out of memory. Removes folders left without
// files when removeEmptyDirs is on (when they will not go, with the options' read-only override once more),
// but never a folder reached through a link or junction, nor anything below one.
void indexFolder(AppState& state, FileIndex& index, const SearchOptions& options, const char* folderPath);
