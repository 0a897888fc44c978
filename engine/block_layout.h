// Size arithmetic of "Directory" pairs at high percentages, for finding the
// pairs that can reach matchPercent from blocks of the files' bytes.
//
// A pair whose larger file has L bytes may differ in at most limit(L) bytes,
// counting the bytes the larger file has beyond the smaller. Cut both files
// into blocks of W bytes at offsets 0, W, 2W, ... If L >= W * (limit(L) + 1),
// the smaller file has more full blocks than the bytes the two files share
// can differ in, so at least one of its blocks is byte-identical in the
// other file at the same offset. Two files that share no block cannot pair.
#pragma once

#include <cstdint>

// The fewest bytes a pair whose larger file has `largerSize` bytes must have
// equal at equal offsets to reach `matchPercent`: the smaller file is at
// least this long.
uint32_t equalBytesNeeded(uint32_t largerSize, uint32_t matchPercent);

// A size no larger partner of a file of `size` bytes can exceed (cheap, not tight).
uint64_t largerSizeBound(uint32_t size, uint32_t matchPercent);

// The largest file that may still pair with a file of `size` bytes.
uint32_t largestPartnerSize(uint32_t size, uint32_t matchPercent);

// Whether a file of `size` bytes can only pair with files of its own size
// (and then only byte-identical ones).
bool onlyEqualSizesPair(uint32_t size, uint32_t matchPercent);

// Blocks of a search: every pair whose larger file has between smallestSize
// and largestSize bytes holds one identical block when it can qualify.
struct BlockLayout {
    uint32_t width = 0;  // 0: no useful width at this percentage
    uint32_t smallestSize = 0;
    uint32_t largestSize = 0;
};

// The widest blocks for which the fact above holds for every larger size
// from 1,024 bytes (or `largestSize`, if smaller) up to `largestSize`, and the smallest size from which it
// holds with them. Width 0 below kNarrowestBlock: blocks that short would
// cost more than comparing the pairs.
BlockLayout blockLayoutFor(uint32_t matchPercent, uint32_t largestSize);

constexpr uint32_t kNarrowestBlock = 8;
