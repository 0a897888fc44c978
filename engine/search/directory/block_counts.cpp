#include "engine/search/directory/block_counts.h"

#include <algorithm>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Files holding a block are counted up to this many (one byte per block):
// blocks held by more are all among the most common.
constexpr uint32_t kMostHolders = 255;
// Files ahead whose values are asked for while a tile is filled.
constexpr uint32_t kFilesAhead = 4;

// A block's place in the order of one step: the fewer files of the step
// hold its value's bucket at its offset, the earlier; then by offset, then by value
// (a file has one block per offset, so offsets alone order its own).
// Unequal blocks of equal value only add pairs that the checks then drop.
uint64_t rank(uint8_t holders, uint32_t column) {
    return uint64_t{holders} << 32 | column;
}

// The offset of the `nth` block (from 1) of `count` held by `level` files; there is one.
uint32_t nthAtLevel(const uint8_t* holders, uint32_t count, uint8_t level, uint32_t nth) {
    uint32_t column = 0;
#if defined(__SSE2__)
    // Sixteen at a time, up to the stretch that holds it.
    const __m128i wanted = _mm_set1_epi8(static_cast<char>(level));
    for (; column + 16 <= count; column += 16) {
        const __m128i counts = _mm_loadu_si128(reinterpret_cast<const __m128i*>(holders + column));
        const uint32_t here = static_cast<uint32_t>(
            __builtin_popcount(static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(counts, wanted)))));
        if (here >= nth) break;
        nth -= here;
    }
#endif
    for (; column < count; ++column)
        if (holders[column] == level && --nth == 0) break;
    return column;
}

// The rank of the `prefix`-th rarest of `count` blocks, by a tally of
// their holders: the cut lies among the blocks held by one number of
// files, and there it is the (prefix - before)-th of them by offset.
uint64_t lastRankOfPrefix(const uint8_t* holders, uint32_t count, uint32_t prefix) {
    // Four tallies, taken in turn, so that neighbouring blocks of one count do not wait on each other.
    uint32_t tallies[4][256] = {};
    uint32_t column = 0;
    for (; column + 4 <= count; column += 4)
        for (uint32_t lane = 0; lane < 4; ++lane) ++tallies[lane][holders[column + lane]];
    for (; column < count; ++column) ++tallies[0][holders[column]];
    uint32_t before = 0, level = 0;
    for (;; ++level) {
        const uint32_t held = tallies[0][level] + tallies[1][level] + tallies[2][level] + tallies[3][level];
        if (before + held >= prefix) break;
        before += held;
    }
    return rank(static_cast<uint8_t>(level),
                nthAtLevel(holders, count, static_cast<uint8_t>(level), prefix - before));
}

}  // namespace

// For each file, how many of the files hold each of its blocks' buckets:
// values are counted by their low bits, one small array reused offset by
// offset. A bucket's count is a function of the block's offset and value
// alone, so it orders the blocks of every file of the step alike, which is
// all the rarest-first order needs; values sharing a bucket only make a
// block look more common than it is.
bool BlockCounts::count(std::vector<StepFile> files) {
    files_ = std::move(files);
    const uint32_t fileCount = static_cast<uint32_t>(files_.size());
    counts_.assign(std::size_t{fileCount} + 1, 0);
    for (uint32_t file = 0; file < fileCount; ++file)
        counts_[file + 1] = counts_[file] + (matched(file) ? files_[file].blocks : 0);
    countBlock_ = allocateZeroed(state_, std::max<std::size_t>(counts_.back(), 1));
    if (countBlock_ == nullptr) return false;
    // Eight buckets a file keeps values of different blocks mostly apart.
    std::size_t buckets = 4096;
    while (buckets < std::size_t{fileCount} * 8) buckets *= 2;
    // One bucket more, for the places of the tile that hold no block.
    std::vector<uint8_t> holders(buckets + 1, 0);
    const uint32_t mask = static_cast<uint32_t>(buckets - 1);
    const uint32_t columns = files_.back().blocks;
    for (uint32_t first = 0; first < columns && holdAtGate(state_); first += kTileColumns) {
        fillTile(first, mask);
        const uint32_t last = std::min(columns, first + kTileColumns);
        for (uint32_t column = first; column < last; ++column) {
            const uint32_t* inBucket = tileBuckets(column);
            for (uint32_t file = 0; file < tileFiles_; ++file) {
                uint8_t& count = holders[inBucket[file]];
                count = static_cast<uint8_t>(count + (count < kMostHolders));
            }
            uint8_t* counted = tileCounts(column);
            for (uint32_t file = 0; file < tileFiles_; ++file) counted[file] = holders[inBucket[file]];
            for (uint32_t file = 0; file < tileFiles_; ++file) holders[inBucket[file]] = 0;
        }
        storeTileCounts();
    }
    return true;
}

// Fills the tile from `first` on with the bucket (value & mask) of every
// matched block of the files; a place holding no block gets the spare
// bucket after them, mask + 1.
void BlockCounts::fillTile(uint32_t first, uint32_t mask) {
    const uint32_t end = static_cast<uint32_t>(files_.size());
    uint32_t begin = 0;
    while (begin < end && files_[begin].blocks <= first) ++begin;
    tileFrom_ = begin;
    tileFirst_ = first;
    tileFiles_ = end - begin;
    tileBuckets_.assign(std::size_t{tileFiles_} * kTileColumns, mask + 1);
    tileCounts_.resize(tileBuckets_.size());
    uint32_t* tileBuckets = tileBuckets_.data();
    const std::size_t files = tileFiles_;
    for (uint32_t at = begin; at < end; ++at) {
        // Each file's stretch of values lies apart from the others': asked for a few files ahead.
        if (at + kFilesAhead < end) prefetchStretch(at + kFilesAhead, first);
        if (!matched(at)) continue;
        const uint32_t file = at - begin;
        const uint32_t last = std::min(files_[at].blocks, first + kTileColumns);
        const uint32_t* values = files_[at].values;
        for (uint32_t column = first; column < last; ++column) {
            const std::size_t place = std::size_t{column - first} * files + file;
            tileBuckets[place] = values[column] & mask;
        }
    }
}

void BlockCounts::prefetchStretch(uint32_t file, uint32_t first) const {
    if (!matched(file)) return;
    const uint32_t last = std::min(files_[file].blocks, first + kTileColumns);
    const uint32_t* values = files_[file].values;
    // One request per 64-byte line.
    for (uint32_t column = first; column < last; column += 16) __builtin_prefetch(values + column);
}

// Copies the tile's counts into each file's own.
void BlockCounts::storeTileCounts() {
    for (uint32_t file = 0; file < tileFiles_; ++file) {
        const uint32_t at = tileFrom_ + file;
        if (!matched(at)) continue;
        const uint32_t last = std::min(files_[at].blocks, tileFirst_ + kTileColumns);
        uint8_t* counts = countsOf(at);
        for (uint32_t column = tileFirst_; column < last; ++column)
            counts[column] = tileCounts_[std::size_t{column - tileFirst_} * tileFiles_ + file];
    }
}

// Each file's rarest blocks: the rank of the last of its first
// |blocks| - t + 1 in the order.
void BlockCounts::findRarest() {
    const uint32_t end = static_cast<uint32_t>(files_.size());
    lastRank_.assign(end, 0);
    for (uint32_t file = 0; file < end && holdAtGate(state_); ++file) {
        if (!matched(file)) continue;
        const uint32_t count = files_[file].blocks;
        const uint32_t prefix = count - files_[file].shared + 1;
        if (prefix >= count) {
            lastRank_[file] = UINT64_MAX;
            continue;
        }
        lastRank_[file] = lastRankOfPrefix(countsOf(file), count, prefix);
    }
}

// Whether some block among the file's rarest is held by another file of the step too.
bool BlockCounts::sharesAnyRareBlock(uint32_t file) const {
    return lastRank_[file] >= rank(2, 0);
}

// A file's rarest blocks are few, so the matching walks them alone, not
// every file at every offset.
void BlockCounts::listRareBlocks(uint32_t from, uint32_t first) {
    for (std::vector<RareBlock>& column : rareBlocks_) column.clear();
    const uint32_t end = static_cast<uint32_t>(files_.size());
    for (uint32_t file = from; file < end; ++file) {
        if (!matched(file) || !sharesAnyRareBlock(file)) continue;
        const uint32_t last = std::min(files_[file].blocks, first + kTileColumns);
        const uint32_t* values = files_[file].values;
        const uint8_t* counts = countsOf(file);
        const uint64_t lastRank = lastRank_[file];
        // A block no other file of the step holds pairs with nothing.
        for (uint32_t column = first; column < last; ++column)
            if (counts[column] > 1 && rank(counts[column], column) <= lastRank)
                rareBlocks_[column - first].push_back({file, values[column]});
    }
}
