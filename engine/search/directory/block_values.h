// The values of a file's blocks for the block listing
// (engine/search/directory/block_listing.h): one 32-bit value per block, so
// that blocks are matched and compared by value, not byte by byte.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/base/fs.h"
#include "engine/job/app_state.h"
#include "engine/search/directory/listing_index.h"

// Equal blocks always give equal values; unequal ones rarely do, and such a
// pair is only compared in vain.
uint32_t blockValue(const uint8_t* bytes, uint32_t width);

// blockValue of a block of at most 8 bytes, read as one word: the bytes
// after the block, up to 8 in all, must be readable (they are masked out).
uint32_t shortBlockValue(const uint8_t* bytes, uint32_t width);

// The values of `blocks` neighbouring blocks of `width` bytes from `bytes`,
// into `values`; past the last block, 8 more bytes must be readable.
void fillBlockValues(const uint8_t* bytes, uint32_t width, uint32_t blocks, uint32_t* values);

// How many of the `count` values differ between the two lists.
uint32_t countDifferentValues(const uint32_t* a, const uint32_t* b, uint32_t count);

// A key of a file's values: files whose values all match have equal keys.
uint64_t valuesKey(const uint32_t* values, uint32_t count);

// How far the reading of block values has come: the bytes to read in all and
// read so far, and where progressPercent stood when the reading began.
struct ReadProgress {
    uint64_t toRead = 0;
    uint64_t read = 0;
    uint32_t from = 0;
};

// Each file's block values while its range of sizes is matched, by slot.
class BlockValues {
public:
    enum class Outcome { Read, Unreadable, NoMemory };

    explicit BlockValues(AppState& state) : state_(state) {}
    ~BlockValues();
    BlockValues(const BlockValues&) = delete;
    BlockValues& operator=(const BlockValues&) = delete;

    // Room for `slots` files, cut into blocks of `width` bytes.
    void reset(uint32_t slots, uint32_t width);
    // Reads the `count` block values of the file at `path`, raising
    // progressPercent towards kCandidatesProgress; Unreadable when it cannot
    // be read whole at `listedSize`.
    Outcome read(Slot slot, const char* path, uint64_t listedSize, uint32_t count);
    // The file's values; null when they are not held.
    const uint32_t* of(Slot slot) const { return reinterpret_cast<const uint32_t*>(blocks_[slot]); }
    bool held(Slot slot) const { return blocks_[slot] != nullptr; }
    // Whether both files' values are held and their first `count` all match.
    bool allMatch(Slot slotA, Slot slotB, uint32_t count) const;
    void release(Slot slot) { releaseBlock(state_, blocks_[slot]); }
    ReadProgress& progress() { return progress_; }

private:
    bool readValues(fs::File* file, uint32_t count, uint32_t* values);

    AppState& state_;
    uint32_t width_ = 0;
    ByIndex<Slot, uint8_t*> blocks_;
    ReadProgress progress_;
};
