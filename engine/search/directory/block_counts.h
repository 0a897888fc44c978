// The counts of the block listing (engine/search/directory/block_listing.h):
// for the files of one step, how many of them hold each block's value, and
// from those counts each file's rarest blocks, listed offset by offset for
// the matching (engine/search/directory/block_matching.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/job/app_state.h"

// One file of a step as the counts see it: its block values (null when it
// is not matched by its blocks), how many blocks it has, and the fewest it
// shares with any partner (t in engine/search/directory/block_layout.h).
struct StepFile {
    const uint32_t* values;
    uint32_t blocks;
    uint32_t shared;
};

// A block of the step among the rarest of its file and held by another file
// too; `file` is the file's place in the step.
struct RareBlock {
    uint32_t file;
    uint32_t value;
};

class BlockCounts {
public:
    // Blocks of kTileColumns neighbouring offsets for the files of a step,
    // laid out offset by offset: walking one offset across many files then
    // reads memory in order, not one scattered line of each file's blocks.
    static constexpr uint32_t kTileColumns = 64;

    explicit BlockCounts(AppState& state) : state_(state) {}
    ~BlockCounts() { release(); }
    BlockCounts(const BlockCounts&) = delete;
    BlockCounts& operator=(const BlockCounts&) = delete;

    // Counts the holders of every block of `files`, the files of a step by
    // size. False when there is no memory for the counts.
    bool count(std::vector<StepFile> files);
    // Finds each file's rarest blocks. Holds at the pause gate.
    void findRarest();
    // Lists, offset by offset from `first` on, the rare blocks of the files
    // from `from` on, in file order.
    void listRareBlocks(uint32_t from, uint32_t first);
    // The rare blocks listed for `column`.
    const std::vector<RareBlock>& rareBlocks(uint32_t column) const {
        return rareBlocks_[column % kTileColumns];
    }
    const std::vector<StepFile>& files() const { return files_; }
    // Frees the counts of the step.
    void release() { releaseBlock(state_, countBlock_); }

private:
    void fillTile(uint32_t first, uint32_t mask);
    void prefetchStretch(uint32_t file, uint32_t first) const;
    void storeTileCounts();
    const uint32_t* tileBuckets(uint32_t column) const {
        return tileBuckets_.data() + std::size_t{column - tileFirst_} * tileFiles_;
    }
    uint8_t* tileCounts(uint32_t column) {
        return tileCounts_.data() + std::size_t{column - tileFirst_} * tileFiles_;
    }
    uint8_t* countsOf(uint32_t file) { return countBlock_ + counts_[file]; }
    bool matched(uint32_t file) const { return files_[file].values != nullptr; }
    bool sharesAnyRareBlock(uint32_t file) const;

    AppState& state_;
    std::vector<StepFile> files_;
    // Where each file's counts start, and the counts.
    std::vector<uint64_t> counts_;
    uint8_t* countBlock_ = nullptr;
    // The rank of the last of each file's rarest blocks.
    std::vector<uint64_t> lastRank_;
    // The tile being counted: files from tileFrom_ on, offsets from tileFirst_ on.
    std::vector<uint32_t> tileBuckets_;
    std::vector<uint8_t> tileCounts_;
    uint32_t tileFrom_ = 0;
    uint32_t tileFirst_ = 0;
    uint32_t tileFiles_ = 0;
    // The rare blocks of the matching's tile, one list per offset.
    std::vector<RareBlock> rareBlocks_[kTileColumns];
};
