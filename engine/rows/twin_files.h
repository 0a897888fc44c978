// The files named by the twin rows of one search, each held once however
// many rows name it: its path and what the search learnt of it.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/base/block_sequence.h"
#include "engine/rows/twin_record.h"

class TwinFiles {
public:
    // The table's number for the file the search numbers `searchNumber`. A file
    // met before keeps the path and facts it came with first; kNoSearchNumber
    // always adds a file. Throws std::bad_alloc when memory runs out, and the
    // files held so far stay as they were.
    uint32_t add(const char* path, const TwinFileFacts& facts, uint32_t searchNumber);
    const char* path(uint32_t file) const { return files_[file].path; }
    const TwinFileFacts& facts(uint32_t file) const { return files_[file].facts; }
    uint32_t count() const { return static_cast<uint32_t>(files_.size()); }
    // Gives all memory back.
    void clear();

private:
    const char* storePath(const char* path);

    struct File {
        const char* path;
        TwinFileFacts facts;
    };
    BlockSequence<File, 4096> files_;
    // The table's number + 1 of each search number met; 0 for one not met.
    std::vector<uint32_t> numberOf_;
    // Paths packed end to end.
    std::vector<std::unique_ptr<char[]>> pathBlocks_;
    char* pathNext_ = nullptr;
    std::size_t pathRoom_ = 0;
};
