// Size arithmetic of "Directory" pairs at high percentages, for finding the
// pairs that can reach matchPercent from blocks of the files' bytes.
//
// A pair whose larger file has L bytes may differ in at most limit(L) bytes,
// counting the bytes the larger file has beyond the smaller. Cut both files
// into blocks of W bytes at offsets 0, W, 2W, ... If L >= W * (limit(L) + 1),
// the smaller file has more full blocks than the bytes the two files share
// can differ in, so at least one of its blocks is byte-identical in the
// other file at the same offset. Two files that share no block cannot pair.
//
// Shared blocks, for a pair of sizes s <= L: at most limit(L) - (L - s)
// bytes differ within the smaller file, and each spoils at most one of its
// s/W full blocks, so g(s, L) = s/W - limit(L) + (L - s) blocks are
// byte-identical in both files at the same offsets. For one file of a
// bytes, the fewest blocks t(a) it shares with any partner that may pair:
// - partners b <= a: g(b, a) = (b/W - b) + (a - limit(a)), and b/W - b never
//   falls as b falls, so b = a gives the fewest;
// - partners a < b <= 50,000 bytes: limit(b) is b * (100 - p) / 100 rounded
//   down, which grows by at most 1 per byte while L - s grows by 1, so g
//   never falls as b grows;
// - partners above 50,000 bytes: the percentage is counted on sizes scaled
//   down by 1,024, so limit(b) is the same for every size of one 1,024-byte
//   step and g grows with b within it; the step's smallest size (50,001,
//   then each multiple of 1,024) gives the step's fewest.
// So t(a) is the least of g(a, a) and of g(a, b) over those step starts b
// that may still pair with a. One byte past a step's end the limit may grow
// by 1,024 at once, so t(a) can lie far below g(a, a).
//
// Listing by the rarest blocks: put every (offset, block value) into one
// order. If two files A and B share at least t blocks, with t(A) <= t and
// t(B) <= t (both hold for t = g of the pair), then A's first
// |A| - t(A) + 1 blocks in that order and B's first |B| - t(B) + 1 hold a
// common block: the first shared block in the order is among them, since
// otherwise every shared block would lie among A's last t(A) - 1 blocks (or
// B's last t(B) - 1), fewer than t.
//
// Narrow blocks at 75%: for L <= 50,000 bytes, limit(L) <= L / 4, and
// 3 * (L / 4 + 1) <= L once L >= 12; above, limit(L) <= L / 4 + 1,023 (the
// percentage of the scaled sizes allows a quarter of the 1,024-byte steps,
// and the last step's remainder), and 3 * (L / 4 + 1,024) <= L once
// L >= 12,288. So 3-byte blocks hold for every larger size from 12 bytes on;
// 4-byte blocks do not (limit(L) + 1 > L / 4). A file of a bytes then has
// a/3 blocks and shares t(a) of about a/12 with any partner that may pair,
// so it would be listed by its rarest a/4 + 1 blocks, three quarters of
// them. Matching that many 3-byte blocks costs about ten times what comparing
// the pairs among files held in memory costs (engine/search/directory/memory_pairs.h), so 75% is not
// listed: kNarrowestBlock keeps it out. There the files held in memory compare near copies
// as families instead (engine/search/directory/near_families.h), which rules out the pairs of
// shared content the listing would: files of one family against another's.
// At 50% only 1-byte blocks hold (2 * (limit(L) + 1) > L).
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

// The blocks two files of these sizes must share, byte-identical at the same
// offsets, with blocks of `width` bytes, when the larger may differ in
// `largerLimit` bytes (maxDifferingBytesFor): g above, 0 when not positive.
uint32_t sharedBlocksNeeded(uint32_t sizeA, uint32_t sizeB, uint32_t largerLimit, uint32_t width);

// t above: the fewest blocks a file of `size` bytes shares with any file
// that may pair with it; 0 when some partner need share none.
uint32_t fewestSharedBlocks(uint32_t size, uint32_t matchPercent, uint32_t width);

// Blocks of a search: every pair whose larger file has between smallestSize
// and largestSize bytes holds one identical block when it can qualify.
struct BlockLayout {
    uint32_t width = 0;  // 0: no useful width at this percentage
    uint32_t smallestSize = 0;
    uint32_t largestSize = 0;
};

// The widest blocks for which the fact above holds for every larger size
// from 1,024 bytes (or `largestSize`, if smaller) up to `largestSize`, and the smallest size from which it
// holds with them. Width 0 below kNarrowestBlock: shorter blocks are too
// many to list and cost more than comparing the pairs in memory.
BlockLayout blockLayoutFor(uint32_t matchPercent, uint32_t largestSize);

constexpr uint32_t kNarrowestBlock = 8;

// The width the listing cuts files at, at most the layout's: a file's rarest
// blocks are about W * (100 - matchPercent) / 100 of its blocks, so narrower
// blocks leave out more of the blocks that many files share, and a pair
// found must share more of its blocks (but there are more of them to read).
uint32_t listingBlockWidth(uint32_t layoutWidth, uint32_t matchPercent);
