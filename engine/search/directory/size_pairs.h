// The pairs the block listing (engine/search/directory/block_listing.h) takes
// by size alone: a file with every partner of a fitting size, and small files
// that can only pair at one size with the files of their size and bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "engine/index/file_index.h"
#include "engine/job/app_state.h"
#include "engine/search/directory/listing_index.h"

// A file that may pair, named by its slot in the list of such files by size.
struct SizedFile {
    uint32_t size;
    Position position;
};

class SizePairs {
public:
    // `files`: every file that may pair, by listed size; pairs reach at most `mostPairs`.
    SizePairs(AppState& state, const FileIndex& index, const ByIndex<Slot, SizedFile>& files, uint32_t match,
              std::size_t mostPairs)
        : state_(state), index_(index), files_(files), match_(match), mostPairs_(mostPairs) {}

    // The slots of every file whose size may pair with `size`, smaller or larger.
    std::pair<Slot, Slot> sizeRange(uint32_t size) const;
    // Whether a file smaller than `smallestSize` can only pair with a file of its own size and bytes.
    bool pairsOnlyAtEqualSize(Slot slot, uint32_t smallestSize);
    // Lists the pairs of equal size and equal bytes among `slots` (small files,
    // read whole); a file that cannot be read so is paired by size. False when
    // there are too many pairs.
    bool pairEqualContents(const std::vector<Slot>& slots);
    // Lists `slot` with every file whose size may pair with it; false when there are too many.
    bool pairAroundSize(Slot slot);
    // The pairs listed, as pairKey of their positions.
    std::vector<uint64_t>& pairs() { return pairs_; }

private:
    AppState& state_;
    const FileIndex& index_;
    const ByIndex<Slot, SizedFile>& files_;
    const uint32_t match_;
    const std::size_t mostPairs_;
    std::vector<uint64_t> pairs_;
    uint32_t lastSmallSize_ = 0;
    bool lastSmallSizeAlone_ = false;
};
