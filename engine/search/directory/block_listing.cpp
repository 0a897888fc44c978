#include "engine/search/directory/block_listing.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "engine/base/fs.h"
#include "engine/compare/file_read.h"
#include "engine/compare/similarity.h"
#include "engine/search/directory/block_layout.h"
#include "engine/search/directory/block_matching.h"
#include "engine/search/directory/copy_sets.h"
#include "engine/search/pairs/copy_chains.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// A file with no more partners of a fitting size than this is compared with
// each of them: cheaper than reading it for its blocks.
constexpr uint32_t kFewPartners = 8;
// Larger files are compared pair by pair: they are few, and their blocks would be many.
constexpr uint32_t kLargestIndexed = 64u << 20;
// The 32-bit program keeps its whole search within 1 GB: the index, the
// compare buffers, these blocks and the pairs found.
constexpr bool kSmallAddressSpace = sizeof(void*) < 8;
// Bytes of block values and counts held at once, for two neighbouring ranges of sizes.
constexpr uint64_t kBlockBudget = (kSmallAddressSpace ? 256ull : 512ull) << 20;
// More listed pairs than this would not pay: the search visits every pair instead.
constexpr std::size_t kMostCandidates = std::size_t{kSmallAddressSpace ? 8u : 16u} << 20;
// Pairs a step remembers having looked at, before it forgets them all.
constexpr std::size_t kMostExamined = std::size_t{kSmallAddressSpace ? 2u : 4u} << 20;
// Files holding a block are counted up to this many (one byte per block):
// blocks held by more are all among the most common.
constexpr uint32_t kMostHolders = 255;
// Pairs looked at between two visits to the pause gate.
constexpr uint32_t kFoundPerGate = 4096;
// Bytes read at a time while reading a file for its blocks.
constexpr uint32_t kReadPiece = 1u << 20;
constexpr uint32_t kNone = 0xFFFFFFFFu;
// The share of progressPercent the search for copies takes, before blocks are read.
constexpr uint32_t kCopiesProgress = 10;

struct SizedFile {
    uint32_t size;
    uint32_t position;
};

uint64_t pairKey(uint32_t a, uint32_t b) {
    return a < b ? (uint64_t{a} << 32 | b) : (uint64_t{b} << 32 | a);
}

// Equal blocks always give equal values; unequal ones rarely do, and such a
// pair is only compared in vain.
uint32_t blockValue(const uint8_t* bytes, uint32_t width) {
    if (width > 8 && width <= 16) {
        // Two words that overlap in the middle cover the block.
        uint64_t first, last;
        std::memcpy(&first, bytes, 8);
        std::memcpy(&last, bytes + width - 8, 8);
        uint64_t value = (first ^ 0x9E3779B97F4A7C15ull) * 0xFF51AFD7ED558CCDull;
        value = (value ^ (value >> 32) ^ last) * 0xC4CEB9FE1A85EC53ull;
        value ^= value >> 29;
        return static_cast<uint32_t>(value ^ (value >> 32));
    }
    uint64_t value = 0x9E3779B97F4A7C15ull;
    uint32_t offset = 0;
    for (; offset + 8 <= width; offset += 8) {
        uint64_t word;
        std::memcpy(&word, bytes + offset, 8);
        value = (value ^ word) * 0xFF51AFD7ED558CCDull;
        value ^= value >> 32;
    }
    if (offset < width) {
        uint64_t word = 0;
        std::memcpy(&word, bytes + offset, width - offset);
        value = (value ^ word) * 0xC4CEB9FE1A85EC53ull;
    }
    value ^= value >> 29;
    return static_cast<uint32_t>(value ^ (value >> 32));
}

// blockValue of a block of at most 8 bytes, read as one word: the bytes
// after the block, up to 8 in all, must be readable (they are masked out).
uint32_t shortBlockValue(const uint8_t* bytes, uint32_t width) {
    uint64_t word;
    std::memcpy(&word, bytes, 8);
    if (width < 8) word &= (uint64_t{1} << (8 * width)) - 1;  // the first bytes, little-endian
    uint64_t value = (word ^ 0x9E3779B97F4A7C15ull) * 0xC4CEB9FE1A85EC53ull;
    value ^= value >> 29;
    return static_cast<uint32_t>(value ^ (value >> 32));
}

// How many of the `count` values differ between the two lists.
uint32_t countDifferentValues(const uint32_t* a, const uint32_t* b, uint32_t count) {
    uint32_t at = 0, differing = 0;
#if defined(__SSE2__)
    // Four at a time: each lane counts its equal values down from zero.
    __m128i equal = _mm_setzero_si128();
    for (; at + 4 <= count; at += 4) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + at));
        const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + at));
        equal = _mm_add_epi32(equal, _mm_cmpeq_epi32(x, y));
    }
    uint32_t lanes[4];
    _mm_storeu_si128(reinterpret_cast<__m128i*>(lanes), equal);
    differing = at + (lanes[0] + lanes[1] + lanes[2] + lanes[3]);
#endif
    for (; at < count; ++at) differing += a[at] != b[at];
    return differing;
}

using block_matching::ColumnTable;
using block_matching::MetGroups;
using block_matching::PairSet;
using block_matching::RangeMatch;
using block_matching::Slot;

class CandidateListing {
public:
    CandidateListing(AppState& state, const FileIndex& index, const SearchOptions& options)
        : state_(state), index_(index), match_(listedMatchPercent(options)) {}
    ~CandidateListing() {
        for (uint8_t*& values : blocks_) releaseBlock(state_, values);
        releaseBlock(state_, countBlock_);
    }

    bool run(TwinCandidates& candidates) {
        sortBySize();
        if (files_.size() < 2) return false;
        layout_ = blockLayoutFor(match_, std::min(files_.back().size, kLargestIndexed));
        if (layout_.width == 0) return false;
        width_ = listingBlockWidth(layout_.width, match_);
        chooseIndexed();
        std::vector<uint32_t> equalSizeOnly;
        for (uint32_t slot = 0; slot < files_.size(); ++slot) {
            if (indexed_[slot]) continue;
            if (pairsOnlyAtEqualSize(slot)) {
                equalSizeOnly.push_back(slot);
            } else if (!pairAroundSize(slot)) {
                return false;
            }
        }
        if (!pairEqualContents(equalSizeOnly) || !foldCopiesFirst() || !matchBlocks()) return false;
        return aborted() ? listNothing(candidates) : buildLists(candidates);
    }

private:
    bool aborted() const { return state_.runControl.load() == AbortRequested; }

    void sortBySize() {
        for (uint32_t position = 0; position < index_.count(); ++position) {
            const uint64_t size = index_.entry(position).listedSize;
            if (mayPair(state_, size)) files_.push_back({static_cast<uint32_t>(size), position});
        }
        std::stable_sort(files_.begin(), files_.end(),
                         [](const SizedFile& a, const SizedFile& b) { return a.size < b.size; });
    }

    // The slots of every file whose size may pair with `size`, smaller or larger.
    std::pair<uint32_t, uint32_t> sizeRange(uint32_t size) const {
        const uint32_t smallest = size == 0 ? 0 : equalBytesNeeded(size, match_);
        const uint64_t largest = size == 0 ? 0 : largerSizeBound(size, match_);
        auto bySize = [](const SizedFile& file, uint64_t wanted) { return file.size < wanted; };
        const auto begin = std::lower_bound(files_.begin(), files_.end(), uint64_t{smallest}, bySize);
        const auto end = std::lower_bound(begin, files_.end(), largest + 1, bySize);
        return {static_cast<uint32_t>(begin - files_.begin()), static_cast<uint32_t>(end - files_.begin())};
    }

    uint32_t blockCount(uint32_t slot) const { return files_[slot].size / width_; }

    void chooseIndexed() {
        indexed_.assign(files_.size(), 0);
        blocks_.assign(files_.size(), nullptr);
        shared_.assign(files_.size(), 0);
        limits_.assign(files_.size(), 0);
        copies_.reset(files_.size());
        uint32_t lastSize = 0, lastShared = 0, lastLimit = 0;
        for (uint32_t slot = 0; slot < files_.size(); ++slot) {
            const uint32_t size = files_[slot].size;
            if (size < layout_.smallestSize || size > layout_.largestSize) continue;
            const auto [begin, end] = sizeRange(size);
            if (end - begin <= kFewPartners + 1) continue;
            if (size != lastSize || lastShared == 0) {
                lastSize = size;
                lastShared = fewestSharedBlocks(size, match_, width_);
                lastLimit = maxDifferingBytesFor(size, match_);
            }
            // A file some partner need share no block with is paired by size.
            if (lastShared == 0) continue;
            shared_[slot] = lastShared;
            limits_[slot] = lastLimit;
            indexed_[slot] = 1;
            order_.push_back(slot);
            bytesToRead_ += uint64_t{blockCount(slot)} * width_;
        }
    }

    // A small file that can only pair with a file of its own size and bytes.
    bool pairsOnlyAtEqualSize(uint32_t slot) {
        const uint32_t size = files_[slot].size;
        if (size == 0 || size >= layout_.smallestSize) return false;
        if (size != lastSmallSize_) {
            lastSmallSize_ = size;
            lastSmallSizeAlone_ = onlyEqualSizesPair(size, match_);
        }
        return lastSmallSizeAlone_;
    }

    // Lists the pairs of equal size and equal bytes among `slots` (small files,
    // read whole); a file that cannot be read so is paired by size. False when
    // there are too many pairs.
    bool pairEqualContents(const std::vector<uint32_t>& slots) {
        struct Content {
            uint32_t size;
            uint32_t value;
            uint32_t slot;
            bool operator<(const Content& other) const {
                return size != other.size ? size < other.size : value < other.value;
            }
        };
        std::vector<Content> contents;
        for (const uint32_t slot : slots) {
            if (!holdAtGate(state_)) return true;
            const FileIndexEntry& entry = index_.entry(files_[slot].position);
            const uint32_t size = files_[slot].size;
            const fs::OwnedFile file = fs::openRead(entry.path);
            const bool whole = file && fs::fileSize(file.get()) == size &&
                               readFromFile(state_, file.get(), state_.compareBufferA, size) == size;
            if (whole) {
                contents.push_back({size, blockValue(state_.compareBufferA, size), slot});
            } else if (!pairAroundSize(slot)) {
                return false;
            }
        }
        std::stable_sort(contents.begin(), contents.end());
        for (std::size_t first = 0; first < contents.size();) {
            std::size_t end = first + 1;
            while (end < contents.size() && !(contents[first] < contents[end])) ++end;
            for (std::size_t a = first; a < end; ++a)
                for (std::size_t b = a + 1; b < end; ++b)
                    aroundPairs_.push_back(
                        pairKey(files_[contents[a].slot].position, files_[contents[b].slot].position));
            if (aroundPairs_.size() > kMostCandidates) return false;
            first = end;
        }
        return true;
    }

    // Lists `slot` with every file whose size may pair with it; false when there are too many.
    bool pairAroundSize(uint32_t slot) {
        const auto [begin, end] = sizeRange(files_[slot].size);
        for (uint32_t other = begin; other < end; ++other) {
            if (other == slot || sizesRuleOut(files_[slot].size, files_[other].size, match_)) continue;
            aroundPairs_.push_back(pairKey(files_[slot].position, files_[other].position));
        }
        return aroundPairs_.size() <= kMostCandidates;
    }

    // The end, in `order_`, of the files no larger than the largest partner of the file at `at`.
    uint32_t partnersEnd(uint32_t at) const {
        const uint32_t largest = largestPartnerSize(files_[order_[at]].size, match_);
        const auto end =
            std::upper_bound(order_.begin() + at, order_.end(), largest,
                             [&](uint32_t size, uint32_t slot) { return size < files_[slot].size; });
        return static_cast<uint32_t>(end - order_.begin());
    }

    // Each block's value and, while its step is matched, how many files hold
    // it; and the ranks of the largest file's blocks, when sorted.
    uint64_t blockBytes(uint32_t begin, uint32_t end) const {
        if (begin >= end) return 0;
        return (blocksBefore_[end] - blocksBefore_[begin]) * (sizeof(uint32_t) + sizeof(uint8_t)) +
               uint64_t{blockCount(order_[end - 1])} * sizeof(uint64_t);
    }

    // Steps by size: the files of [home, probe) are matched with each other and
    // with those of [probe, end), which holds every larger file that may pair
    // with one of them; each step takes the files that fit kBlockBudget with
    // their partners, so a pair is found in the step of its smaller file. A
    // file that does not fit with its partners alone is paired by size.
    bool matchBlocks() {
        blocksBefore_.assign(order_.size() + 1, 0);
        for (std::size_t at = 0; at < order_.size(); ++at)
            blocksBefore_[at + 1] = blocksBefore_[at] + blockCount(order_[at]);
        const uint32_t files = static_cast<uint32_t>(order_.size());
        uint32_t home = 0, readEnd = 0;
        while (home < files && !aborted()) {
            // No wider than the partners of its smallest file: files far apart in size share no pair to look
            // at.
            const uint32_t homeEnd = partnersEnd(home);
            uint32_t probe = home, end = home;
            for (; probe < homeEnd; ++probe) {
                const uint32_t partners = std::max(end, partnersEnd(probe));
                if (blockBytes(home, partners) > kBlockBudget) break;
                end = partners;
            }
            if (probe == home) {
                if (!pairBySizeInstead(home++, readEnd)) return false;
                continue;
            }
            if (!readRange(std::max(readEnd, home), end)) return false;
            readEnd = std::max(readEnd, end);
            if (aborted()) break;
            if (!matchRanges(home, probe, end) || tooManyMatched()) return false;
            for (; home < probe; ++home) releaseBlock(state_, blocks_[order_[home]]);
        }
        return true;
    }

    // Files of one size holding the same bytes are matched as their first:
    // only it is read for its blocks, and every pair found for it is listed
    // for each copy. The copies are listed with each other, and the pairing
    // learns they are copies. False when the pairs grow too many.
    bool foldCopiesFirst() {
        std::vector<uint32_t> positions;
        for (const uint32_t slot : order_) positions.push_back(files_[slot].position);
        findCopies(state_, index_, positions, copyOf_, kCopiesProgress);
        readingFrom_ = state_.progressPercent.load();
        std::vector<uint32_t> slotOf(index_.count(), kNone);
        std::vector<uint32_t> kept;
        for (const uint32_t slot : order_) {
            const uint32_t original = copyOf_[files_[slot].position];
            slotOf[files_[slot].position] = slot;
            if (original == kNoEntry) {
                kept.push_back(slot);
                continue;
            }
            const uint32_t originalSlot = slotOf[original];
            for (uint32_t copy = originalSlot; copy != CopyChains::kEnd; copy = copies_.next(copy))
                matched_.insert(pairKey(files_[copy].position, files_[slot].position));
            copies_.join(originalSlot, slot);
            bytesToRead_ -= uint64_t{blockCount(slot)} * width_;
        }
        order_.swap(kept);
        return !tooManyMatched();
    }

    // The file at `at`, too large for the blocks' memory with its partners,
    // and the copies matched as it.
    bool pairBySizeInstead(uint32_t at, uint32_t readEnd) {
        const uint32_t slot = order_[at];
        if (at >= readEnd) bytesToRead_ -= uint64_t{blockCount(slot)} * width_;
        releaseBlock(state_, blocks_[slot]);
        for (uint32_t copy = slot; copy != CopyChains::kEnd; copy = copies_.next(copy)) {
            indexed_[copy] = 0;
            if (!pairAroundSize(copy)) return false;
        }
        return true;
    }

    bool readRange(uint32_t begin, uint32_t end) {
        for (uint32_t at = begin; at < end && !aborted(); ++at)
            if (!readBlocks(order_[at])) return false;
        foldCopies(begin, end);
        return true;
    }

    static uint64_t valuesKey(const uint32_t* values, uint32_t count) {
        uint64_t key = count;
        for (uint32_t at = 0; at < count; ++at) key = (key ^ values[at]) * 0x100000001B3ull;
        return key;
    }

    // Files of one size whose blocks all match pair with exactly the same
    // files: only the first is matched, and every pair found for it is listed
    // for each of them. They are listed with each other too; the pairing
    // then compares them (and reads copies once).
    void foldCopies(uint32_t begin, uint32_t end) {
        std::vector<std::pair<uint64_t, uint32_t>> keyed;
        for (uint32_t at = begin; at < end; ++at)
            if (blocks_[order_[at]] != nullptr)
                keyed.push_back({valuesKey(valuesOf(at), blockCount(order_[at])), at});
        std::sort(keyed.begin(), keyed.end(), [&](const auto& x, const auto& y) {
            const uint32_t sizeX = files_[order_[x.second]].size, sizeY = files_[order_[y.second]].size;
            return sizeX != sizeY ? sizeX < sizeY : x < y;
        });
        for (std::size_t first = 0; first < keyed.size();) {
            std::size_t end = first + 1;
            while (end < keyed.size() && keyed[end].first == keyed[first].first &&
                   files_[order_[keyed[end].second]].size == files_[order_[keyed[first].second]].size)
                ++end;
            for (std::size_t member = first + 1; member < end; ++member)
                for (std::size_t kept = first; kept < member; ++kept)
                    if (foldInto(keyed[kept].second, keyed[member].second)) break;
            first = end;
        }
    }

    // Folds the file at `at` into the one at `into` when their blocks match.
    bool foldInto(uint32_t into, uint32_t at) {
        const uint32_t slot = order_[at], kept = order_[into];
        if (blocks_[kept] == nullptr || blocks_[slot] == nullptr ||
            std::memcmp(blocks_[kept], blocks_[slot], std::size_t{blockCount(slot)} * 4) != 0)
            return false;
        // The file may bring copies of its own, found before its blocks were read.
        uint32_t last = slot;
        for (uint32_t copy = kept; copy != CopyChains::kEnd; copy = copies_.next(copy))
            for (uint32_t joining = slot; joining != CopyChains::kEnd; joining = copies_.next(joining)) {
                matched_.insert(pairKey(files_[copy].position, files_[joining].position));
                last = joining;
            }
        copies_.joinChain(kept, slot, last);
        releaseBlock(state_, blocks_[slot]);
        return true;
    }

    // Reads the file's blocks; a file that cannot be read whole at its listed
    // size is paired by size instead. False when memory ran out.
    bool readBlocks(uint32_t slot) {
        const FileIndexEntry& entry = index_.entry(files_[slot].position);
        fs::OwnedFile file = fs::openRead(entry.path);
        const bool sameSize = file && fs::fileSize(file.get()) == entry.listedSize;
        const uint32_t count = blockCount(slot);
        uint8_t* values = sameSize ? allocateZeroed(state_, std::size_t{count} * 4) : nullptr;
        const bool noMemory = sameSize && values == nullptr;
        const bool whole =
            values != nullptr && readValues(file.get(), count, reinterpret_cast<uint32_t*>(values));
        file.reset();
        if (whole) {
            blocks_[slot] = values;
            return true;
        }
        releaseBlock(state_, values);
        if (noMemory) return false;
        indexed_[slot] = 0;
        return aborted() || pairAroundSize(slot);
    }

    bool readValues(fs::File* file, uint32_t count, uint32_t* values) {
        const uint32_t width = width_;
        const uint32_t perPiece = std::max(kReadPiece / width, 1u);
        for (uint32_t done = 0; done < count;) {
            if (!holdAtGate(state_)) return false;
            const uint32_t blocks = std::min(perPiece, count - done);
            const uint32_t length = blocks * width;
            if (readFromFile(state_, file, state_.compareBufferA, length) != length) return false;
            // The buffer holds far more than a piece, so a short block's word can be read whole.
            if (width <= 8) {
                for (uint32_t block = 0; block < blocks; ++block)
                    values[done + block] = shortBlockValue(state_.compareBufferA + block * width, width);
            } else {
                for (uint32_t block = 0; block < blocks; ++block)
                    values[done + block] = blockValue(state_.compareBufferA + block * width, width);
            }
            done += blocks;
            bytesRead_ += length;
            state_.progressPercent.store(
                readingFrom_ +
                static_cast<uint32_t>(bytesRead_ * (kCandidatesProgress - readingFrom_) / bytesToRead_));
        }
        return true;
    }

    const uint32_t* valuesOf(uint32_t at) const {
        return reinterpret_cast<const uint32_t*>(blocks_[order_[at]]);
    }

    // Whether two files hold at least the blocks a qualifying pair of their
    // sizes shares, counted over the smaller file's blocks.
    bool sharesEnoughBlocks(uint32_t atA, uint32_t atB) const {
        const uint32_t slotA = order_[atA], slotB = order_[atB];
        const uint32_t columns = std::min(blockCount(slotA), blockCount(slotB));
        const uint32_t needed =
            sharedBlocksNeeded(files_[slotA].size, files_[slotB].size, limitOf(slotA, slotB), width_);
        const uint32_t* valuesA = valuesOf(atA);
        const uint32_t* valuesB = valuesOf(atB);
        const uint32_t missesAllowed = columns - std::min(needed, columns);
        // Counted a stretch at a time, and checked after each.
        constexpr uint32_t kStretch = 256;
        uint32_t misses = 0;
        for (uint32_t from = 0; from < columns; from += kStretch) {
            const uint32_t length = std::min(columns - from, kStretch);
            misses += countDifferentValues(valuesA + from, valuesB + from, length);
            if (misses > missesAllowed) return false;
        }
        return true;
    }

    uint32_t limitOf(uint32_t slotA, uint32_t slotB) const {
        return limits_[files_[slotA].size >= files_[slotB].size ? slotA : slotB];
    }

    // Whether the pair was looked at before in this step. The pairs looked at
    // are forgotten when they grow too many: a pair looked at again is only
    // checked again.
    bool examinedBefore(uint32_t atA, uint32_t atB) {
        if (examined_.size() > kMostExamined) examined_.clear();
        return !examined_.insert(pairKey(atA, atB));
    }

    // Two matched files that share a block among their rarest:
    // listed, with the copies folded into each, when they share enough blocks.
    void found(uint32_t atA, uint32_t atB) {
        const uint32_t slotA = order_[atA], slotB = order_[atB];
        const uint32_t larger = std::max(files_[slotA].size, files_[slotB].size);
        const uint32_t smaller = std::min(files_[slotA].size, files_[slotB].size);
        // Many files holding one value: pause and abort are still seen.
        if (++foundSinceGate_ % kFoundPerGate == 0) holdAtGate(state_);
        if (aborted() || limitOf(slotA, slotB) < larger - smaller || examinedBefore(atA, atB) ||
            !sharesEnoughBlocks(atA, atB))
            return;
        for (uint32_t a = slotA; a != CopyChains::kEnd; a = copies_.next(a))
            for (uint32_t b = slotB; b != CopyChains::kEnd; b = copies_.next(b))
                matched_.insert(pairKey(files_[a].position, files_[b].position));
    }

    // More pairs than the listing may hold: it stops, and every pair is visited instead.
    bool tooManyMatched() const { return matched_.size() > kMostCandidates; }

    bool matched(uint32_t at) const { return blocks_[order_[at]] != nullptr; }

    // For each file of [home, end), how many of the files hold each of its
    // blocks' buckets: values are counted by their low bits, one small array
    // reused offset by offset. A bucket's count is a function of the block's
    // offset and value alone, so it orders the blocks of every file of the
    // step alike, which is all the rarest-first order needs; values sharing
    // a bucket only make a block look more common than it is. False when
    // there is no memory for the counts.
    bool countBlocks(uint32_t home, uint32_t end) {
        counts_.assign(end - home + 1, 0);
        for (uint32_t at = home; at < end; ++at)
            counts_[at - home + 1] = counts_[at - home] + (matched(at) ? blockCount(order_[at]) : 0);
        countBlock_ = allocateZeroed(state_, std::max<std::size_t>(counts_.back(), 1));
        if (countBlock_ == nullptr) return false;
        // Eight buckets a file keeps values of different blocks mostly apart.
        std::size_t buckets = 4096;
        while (buckets < std::size_t{end - home} * 8) buckets *= 2;
        // One bucket more, for the places of the tile that hold no block.
        std::vector<uint8_t> holders(buckets + 1, 0);
        const uint32_t mask = static_cast<uint32_t>(buckets - 1);
        const uint32_t columns = blockCount(order_[end - 1]);
        for (uint32_t first = 0; first < columns && holdAtGate(state_); first += kTileColumns) {
            fillTile(home, end, first, mask);
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

    // Blocks of kTileColumns neighbouring offsets for the files of a step,
    // laid out offset by offset: walking one offset across many files then
    // reads memory in order, not one scattered line of each file's blocks.
    static constexpr uint32_t kTileColumns = 64;

    // Fills the tile from `first` on with the bucket (value & mask) of every
    // matched block of the files of [begin, end); a place holding no block
    // gets the spare bucket after them, mask + 1.
    void fillTile(uint32_t begin, uint32_t end, uint32_t first, uint32_t mask) {
        while (begin < end && blockCount(order_[begin]) <= first) ++begin;
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
            const uint32_t last = std::min(blockCount(order_[at]), first + kTileColumns);
            const uint32_t* values = valuesOf(at);
            for (uint32_t column = first; column < last; ++column) {
                const std::size_t place = std::size_t{column - first} * files + file;
                tileBuckets[place] = values[column] & mask;
            }
        }
    }

    static constexpr uint32_t kFilesAhead = 4;

    void prefetchStretch(uint32_t at, uint32_t first) const {
        if (!matched(at)) return;
        const uint32_t last = std::min(blockCount(order_[at]), first + kTileColumns);
        const uint32_t* values = valuesOf(at);
        // One request per 64-byte line.
        for (uint32_t column = first; column < last; column += 16) __builtin_prefetch(values + column);
    }

    // A block of the step among the rarest of its file and held by another file too.
    struct RareBlock {
        uint32_t at;
        uint32_t value;
    };

    // Lists, offset by offset from `first` on, the rare blocks of the files
    // of [begin, end), in file order: a file's rarest blocks are few, so the
    // matching walks them alone, not every file at every offset.
    void listRareBlocks(uint32_t begin, uint32_t end, uint32_t first) {
        for (std::vector<RareBlock>& column : rareBlocks_) column.clear();
        for (uint32_t at = begin; at < end; ++at) {
            if (!matched(at) || !sharesAnyRareBlock(at)) continue;
            const uint32_t last = std::min(blockCount(order_[at]), first + kTileColumns);
            const uint32_t* values = valuesOf(at);
            const uint8_t* counts = countsOf(at);
            const uint64_t lastRank = lastRank_[at - home_];
            // A block no other file of the step holds pairs with nothing.
            for (uint32_t column = first; column < last; ++column)
                if (counts[column] > 1 && rank(counts[column], column) <= lastRank)
                    rareBlocks_[column - first].push_back({at, values[column]});
        }
    }

    const uint32_t* tileBuckets(uint32_t column) const {
        return tileBuckets_.data() + std::size_t{column - tileFirst_} * tileFiles_;
    }
    uint8_t* tileCounts(uint32_t column) {
        return tileCounts_.data() + std::size_t{column - tileFirst_} * tileFiles_;
    }

    // Copies the tile's counts into each file's own.
    void storeTileCounts() {
        for (uint32_t file = 0; file < tileFiles_; ++file) {
            const uint32_t at = tileFrom_ + file;
            if (!matched(at)) continue;
            const uint32_t last = std::min(blockCount(order_[at]), tileFirst_ + kTileColumns);
            uint8_t* counts = countsOf(at);
            for (uint32_t column = tileFirst_; column < last; ++column)
                counts[column] = tileCounts_[std::size_t{column - tileFirst_} * tileFiles_ + file];
        }
    }

    uint8_t* countsOf(uint32_t at) { return countBlock_ + counts_[at - home_]; }

    // A block's place in the order of one step: the fewer files of the step
    // hold its value's bucket at its offset, the earlier; then by offset, then by value
    // (a file has one block per offset, so offsets alone order its own).
    // Unequal blocks of equal value only add pairs that the checks then drop.
    static uint64_t rank(uint8_t holders, uint32_t column) { return uint64_t{holders} << 32 | column; }

    // Whether some block among the file's rarest is held by another file of the step too.
    bool sharesAnyRareBlock(uint32_t at) const { return lastRank_[at - home_] >= rank(2, 0); }

    // Each file's rarest blocks: the rank of the last of its first
    // |blocks| - t + 1 in the order.
    void findPrefixes(uint32_t home, uint32_t end) {
        lastRank_.assign(end - home, 0);
        for (uint32_t at = home; at < end && holdAtGate(state_); ++at) {
            if (!matched(at)) continue;
            const uint32_t count = blockCount(order_[at]);
            const uint32_t prefix = count - shared_[order_[at]] + 1;
            if (prefix >= count) {
                lastRank_[at - home] = UINT64_MAX;
                continue;
            }
            lastRank_[at - home] = lastRankOfPrefix(countsOf(at), count, prefix);
        }
    }

    // The rank of the `prefix`-th rarest of `count` blocks, by a tally of
    // their holders: the cut lies among the blocks held by one number of
    // files, and there it is the (prefix - before)-th of them by offset.
    static uint64_t lastRankOfPrefix(const uint8_t* holders, uint32_t count, uint32_t prefix) {
        // Four tallies, taken in turn, so that neighbouring blocks of one count do not wait on each other.
        uint32_t tallies[4][256] = {};
        uint32_t column = 0;
        for (; column + 4 <= count; column += 4)
            for (uint32_t lane = 0; lane < 4; ++lane) ++tallies[lane][holders[column + lane]];
        for (; column < count; ++column) ++tallies[0][holders[column]];
        uint32_t before = 0, level = 0;
        for (;; ++level) {
            const uint32_t held =
                tallies[0][level] + tallies[1][level] + tallies[2][level] + tallies[3][level];
            if (before + held >= prefix) break;
            before += held;
        }
        return rank(static_cast<uint8_t>(level),
                    nthAtLevel(holders, count, static_cast<uint8_t>(level), prefix - before));
    }

    // The offset of the `nth` block (from 1) of `count` held by `level` files; there is one.
    static uint32_t nthAtLevel(const uint8_t* holders, uint32_t count, uint8_t level, uint32_t nth) {
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

    // Pairs within the range [home, probe) and between it and [probe, end),
    // from the rarest blocks of each file, offset by offset: each offset's
    // values go into one small table. False when memory ran out.
    bool matchRanges(uint32_t home, uint32_t probe, uint32_t end) {
        home_ = home;
        examined_.clear();
        if (!countBlocks(home, end)) return false;
        if (aborted()) return releaseCounts();
        findPrefixes(home, end);
        if (aborted()) return releaseCounts();
        RangeMatch match(end - home, probe - home);
        const uint32_t columns = blockCount(order_[end - 1]);
        uint32_t homeFrom = home;
        for (uint32_t column = 0; column < columns; ++column) {
            match.table.nextColumn();
            while (homeFrom < probe && blockCount(order_[homeFrom]) <= column) ++homeFrom;
            if (homeFrom == probe || tooManyMatched() || !holdAtGate(state_)) break;
            if (column % kTileColumns == 0) listRareBlocks(homeFrom, end, column);
            const std::vector<RareBlock>& rare = rareBlocks_[column % kTileColumns];
            const std::size_t probesFrom = placeHomeBlocks(match, rare, probe);
            matchWithinHome(match);
            probeLaterFiles(match, rare, probesFrom);
        }
        return releaseCounts();
    }

    // The home files' rare blocks of one offset go into the table, each value's
    // holders chained; returns where the later files' blocks start in `rare`.
    std::size_t placeHomeBlocks(RangeMatch& match, const std::vector<RareBlock>& rare, uint32_t probe) {
        match.places.clear();
        std::size_t entry = 0;
        for (; entry < rare.size() && rare[entry].at < probe; ++entry) {
            const uint32_t at = rare[entry].at;
            const std::size_t place = match.table.placeOf(rare[entry].value);
            Slot& slot = match.table.slotAt(place);
            if (slot.first == kNone) match.places.push_back(place);
            match.nextSame[at - home_] = slot.first;
            slot.first = at - home_;
        }
        return entry;
    }

    // The pairs among the home files holding one value at this offset, each set of them once.
    void matchWithinHome(RangeMatch& match) {
        for (const std::size_t place : match.places) {
            Slot& slot = match.table.slotAt(place);
            std::vector<uint32_t>& members = match.members;
            members.clear();
            for (uint32_t same = slot.first; same != kNone; same = match.nextSame[same])
                members.push_back(same);
            // A file alone holding the block is no set: its pairs are few.
            if (members.size() < 2) continue;
            // Every member walked within one earlier set: its pairs were
            // all looked at there, and a probe walks that set instead.
            const uint32_t walkedIn = match.walkedWithin[members.front()];
            if (walkedIn != kNone && std::all_of(members.begin(), members.end(), [&](uint32_t member) {
                    return match.walkedWithin[member] == walkedIn;
                })) {
                slot.group = walkedIn;
                continue;
            }
            bool fresh = false;
            slot.group = match.groups.numberOf(members, fresh);
            if (!fresh) continue;
            for (const uint32_t member : members) match.walkedWithin[member] = slot.group;
            for (std::size_t later = 0; later < members.size(); ++later)
                for (std::size_t earlier = later + 1; earlier < members.size(); ++earlier)
                    found(home_ + members[earlier], home_ + members[later]);
        }
    }

    // Each later file's rare blocks of this offset against the home files holding the same value.
    void probeLaterFiles(RangeMatch& match, const std::vector<RareBlock>& rare, std::size_t entry) {
        for (; entry < rare.size(); ++entry) {
            const uint32_t at = rare[entry].at;
            const Slot* slot = match.table.find(rare[entry].value);
            if (slot == nullptr) continue;
            if (slot->group == kNone) {
                for (uint32_t same = slot->first; same != kNone; same = match.nextSame[same])
                    found(home_ + same, at);
            } else if (!match.groups.probedBefore(slot->group, at)) {
                for (const uint32_t member : match.groups.membersOf(slot->group)) found(home_ + member, at);
            }
        }
    }

    bool releaseCounts() {
        releaseBlock(state_, countBlock_);
        return true;
    }

    bool listNothing(TwinCandidates& candidates) {
        candidates.listNone(index_.count());
        return true;
    }

    bool buildLists(TwinCandidates& candidates) {
        std::vector<uint64_t> keys;
        keys.swap(aroundPairs_);
        if (keys.size() + matched_.size() > kMostCandidates) return false;
        matched_.appendTo(keys);
        std::sort(keys.begin(), keys.end());
        keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
        const uint32_t count = index_.count();
        std::vector<uint8_t> paired(count, 0);
        candidates.partnerStart.assign(std::size_t{count} + 1, 0);
        candidates.partners.resize(keys.size());
        for (std::size_t at = 0; at < keys.size(); ++at) {
            const uint32_t a = static_cast<uint32_t>(keys[at] >> 32);
            const uint32_t b = static_cast<uint32_t>(keys[at]);
            ++candidates.partnerStart[a + 1];
            candidates.partners[at] = b;
            paired[a] = paired[b] = 1;
        }
        candidates.sumPartnerCounts();
        candidates.grouped = static_cast<uint32_t>(std::count(paired.begin(), paired.end(), 1));
        candidates.copyOf = std::move(copyOf_);
        return true;
    }

    AppState& state_;
    const FileIndex& index_;
    const uint32_t match_;
    BlockLayout layout_;
    // The width the files are cut at.
    uint32_t width_ = 0;
    // Each matched file's differing bytes allowed, were it the larger of a pair.
    std::vector<uint32_t> limits_;
    // Every file that may pair, by listed size (then walk order); files are named by slot here.
    std::vector<SizedFile> files_;
    std::vector<uint8_t> indexed_;
    // The slots of the files matched by their blocks, by size.
    std::vector<uint32_t> order_;
    // Each indexed file's block values while its range of sizes is matched.
    std::vector<uint8_t*> blocks_;
    // The fewest blocks each matched file shares with any partner (t in
    // engine/search/directory/block_layout.h).
    std::vector<uint32_t> shared_;
    // Files whose blocks all match, chained from the one that is matched.
    CopyChains copies_;
    // Per entry: the earlier file of its size it holds the same bytes as (kNoEntry for none).
    std::vector<uint32_t> copyOf_;
    // While a step is matched: where each file's counts start, the counts, and
    // the rank of the last of each file's rarest blocks.
    std::vector<uint64_t> counts_;
    uint8_t* countBlock_ = nullptr;
    std::vector<uint64_t> lastRank_;
    // The pairs looked at in the step being matched.
    PairSet examined_;
    uint32_t home_ = 0;
    // The tile of the step being matched: files from tileFrom_ on, offsets from tileFirst_ on.
    std::vector<uint32_t> tileBuckets_;
    std::vector<uint8_t> tileCounts_;
    uint32_t tileFrom_ = 0;
    uint32_t tileFirst_ = 0;
    uint32_t tileFiles_ = 0;
    // The rare blocks of the matching's tile, one list per offset.
    std::vector<RareBlock> rareBlocks_[kTileColumns];
    // Blocks of the files before each place in `order_`.
    std::vector<uint64_t> blocksBefore_;
    uint32_t foundSinceGate_ = 0;
    std::vector<uint64_t> aroundPairs_;
    PairSet matched_;
    uint64_t bytesToRead_ = 0;
    uint64_t bytesRead_ = 0;
    // Where progress stands when the blocks are first read.
    uint32_t readingFrom_ = 0;
    uint32_t lastSmallSize_ = 0;
    bool lastSmallSizeAlone_ = false;
};

}  // namespace

bool listTwinCandidates(AppState& state, const FileIndex& index, const SearchOptions& options,
                        TwinCandidates& candidates) {
    CandidateListing listing(state, index, options);
    if (listing.run(candidates)) return true;
    candidates = TwinCandidates();
    return false;
}

bool listingCanServe(const AppState& state, const FileIndex& index, const SearchOptions& options) {
    uint32_t files = 0;
    uint64_t largest = 0;
    for (uint32_t position = 0; position < index.count(); ++position) {
        const uint64_t size = index.entry(position).listedSize;
        if (!mayPair(state, size)) continue;
        ++files;
        largest = std::max(largest, size);
    }
    const uint32_t indexedLargest = static_cast<uint32_t>(std::min<uint64_t>(largest, kLargestIndexed));
    return files >= 2 && blockLayoutFor(listedMatchPercent(options), indexedLargest).width != 0;
}
