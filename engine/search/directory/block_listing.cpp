#include "engine/search/directory/block_listing.h"

#include <algorithm>
#include <vector>

#include "engine/compare/similarity.h"
#include "engine/search/directory/block_counts.h"
#include "engine/search/directory/block_layout.h"
#include "engine/search/directory/block_matching.h"
#include "engine/search/directory/block_values.h"
#include "engine/search/directory/copy_sets.h"
#include "engine/search/directory/listing_index.h"
#include "engine/search/directory/size_pairs.h"
#include "engine/search/pairs/copy_classes.h"

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
// Pairs looked at between two visits to the pause gate.
constexpr uint32_t kFoundPerGate = 4096;
// The share of progressPercent the search for copies takes, before blocks are read.
constexpr uint32_t kCopiesProgress = 10;

using block_matching::PairSet;
using block_matching::RangeMatch;

class CandidateListing {
public:
    CandidateListing(AppState& state, const FileIndex& index, const SearchOptions& options)
        : state_(state),
          index_(index),
          match_(listedMatchPercent(options)),
          sizePairs_(state, index, files_, match_, kMostCandidates),
          values_(state),
          counts_(state) {}

    bool run(TwinCandidates& candidates) {
        sortBySize();
        if (files_.size() < 2) return false;
        layout_ = blockLayoutFor(match_, std::min(files_.entries().back().size, kLargestIndexed));
        if (layout_.width == 0) return false;
        width_ = listingBlockWidth(layout_.width, match_);
        chooseIndexed();
        std::vector<Slot> equalSizeOnly;
        for (Slot slot(0); slot < files_.end(); ++slot) {
            if (indexed_[slot]) continue;
            if (sizePairs_.pairsOnlyAtEqualSize(slot, layout_.smallestSize)) {
                equalSizeOnly.push_back(slot);
            } else if (!sizePairs_.pairAroundSize(slot)) {
                return false;
            }
        }
        if (!sizePairs_.pairEqualContents(equalSizeOnly) || !foldCopiesFirst() || !matchBlocks())
            return false;
        return aborted() ? listNothing(candidates) : buildLists(candidates);
    }

private:
    bool aborted() const { return state_.runControl.load() == AbortRequested; }

    void sortBySize() {
        for (uint32_t position = 0; position < index_.count(); ++position) {
            const uint64_t size = index_.entry(position).listedSize;
            if (mayPair(state_, size)) files_.push_back({static_cast<uint32_t>(size), Position(position)});
        }
        std::stable_sort(files_.entries().begin(), files_.entries().end(),
                         [](const SizedFile& a, const SizedFile& b) { return a.size < b.size; });
    }

    const FileIndexEntry& entryOf(Slot slot) const { return index_.entry(files_[slot].position.value); }

    uint32_t blockCount(Slot slot) const { return files_[slot].size / width_; }

    void chooseIndexed() {
        indexed_.assign(files_.size(), 0);
        values_.reset(static_cast<uint32_t>(files_.size()), width_);
        shared_.assign(files_.size(), 0);
        limits_.assign(files_.size(), 0);
        copies_.reset(files_.size());
        uint32_t lastSize = 0, lastShared = 0, lastLimit = 0;
        for (Slot slot(0); slot < files_.end(); ++slot) {
            const uint32_t size = files_[slot].size;
            if (size < layout_.smallestSize || size > layout_.largestSize) continue;
            const auto [begin, end] = sizePairs_.sizeRange(size);
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
            values_.progress().toRead += uint64_t{blockCount(slot)} * width_;
        }
    }

    // The end, in `order_`, of the files no larger than the largest partner of the file at `at`.
    Rank partnersEnd(Rank at) const {
        const uint32_t largest = largestPartnerSize(files_[order_[at]].size, match_);
        const std::vector<Slot>& order = order_.entries();
        const auto end = std::upper_bound(order.begin() + at.value, order.end(), largest,
                                          [&](uint32_t size, Slot slot) { return size < files_[slot].size; });
        return Rank(static_cast<uint32_t>(end - order.begin()));
    }

    // Each block's value and, while its step is matched, how many files hold
    // it; and the ranks of the largest file's blocks, when sorted.
    uint64_t blockBytes(Rank begin, Rank end) const {
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
        for (Rank at(0); at < order_.end(); ++at)
            blocksBefore_[at + 1] = blocksBefore_[at] + blockCount(order_[at]);
        const Rank files = order_.end();
        Rank home(0), readEnd(0);
        while (home < files && !aborted()) {
            // No wider than the partners of its smallest file: files far apart in size share no pair to look
            // at.
            const Rank homeEnd = partnersEnd(home);
            Rank probe = home, end = home;
            for (; probe < homeEnd; ++probe) {
                const Rank partners = std::max(end, partnersEnd(probe));
                if (blockBytes(home, partners) > kBlockBudget) break;
                end = partners;
            }
            if (probe == home) {
                if (!pairBySizeInstead(home, readEnd)) return false;
                ++home;
                continue;
            }
            if (!readRange(std::max(readEnd, home), end)) return false;
            readEnd = std::max(readEnd, end);
            if (aborted()) break;
            if (!matchRanges(home, probe, end) || tooManyMatched()) return false;
            for (; home < probe; ++home) values_.release(order_[home]);
        }
        return true;
    }

    // Files of one size holding the same bytes are matched as their first:
    // only it is read for its blocks, and every pair found for it is listed
    // for each copy. The copies are listed with each other, and the pairing
    // learns they are copies. False when the pairs grow too many.
    bool foldCopiesFirst() {
        std::vector<uint32_t> positions;
        for (const Slot slot : order_.entries()) positions.push_back(files_[slot].position.value);
        findCopies(state_, index_, positions, byteCopies_, kCopiesProgress);
        values_.progress().from = state_.progressPercent.load();
        ByIndex<Position, Slot> slotOf;
        slotOf.assign(index_.count(), Slot::none());
        ByIndex<Rank, Slot> kept;
        for (const Slot slot : order_.entries()) {
            const Position original(byteCopies_.originalOf(files_[slot].position.value));
            slotOf[files_[slot].position] = slot;
            if (original.isNone()) {
                kept.push_back(slot);
                continue;
            }
            const Slot originalSlot = slotOf[original];
            for (Slot copy = originalSlot; !copy.isNone(); copy = nextCopy(copy))
                matched_.insert(pairKey(files_[copy].position, files_[slot].position));
            copies_.join(originalSlot.value, slot.value);
            values_.progress().toRead -= uint64_t{blockCount(slot)} * width_;
        }
        order_.swap(kept);
        return !tooManyMatched();
    }

    // The file at `at`, too large for the blocks' memory with its partners,
    // and the copies matched as it.
    bool pairBySizeInstead(Rank at, Rank readEnd) {
        const Slot slot = order_[at];
        if (at >= readEnd) values_.progress().toRead -= uint64_t{blockCount(slot)} * width_;
        values_.release(slot);
        for (Slot copy = slot; !copy.isNone(); copy = nextCopy(copy)) {
            indexed_[copy] = 0;
            if (!sizePairs_.pairAroundSize(copy)) return false;
        }
        return true;
    }

    bool readRange(Rank begin, Rank end) {
        for (Rank at = begin; at < end && !aborted(); ++at)
            if (!readBlocks(order_[at])) return false;
        foldCopies(begin, end);
        return true;
    }

    // Files of one size whose blocks all match pair with exactly the same
    // files: only the first is matched, and every pair found for it is listed
    // for each of them. They are listed with each other too; the pairing
    // then compares them (and reads copies once).
    void foldCopies(Rank begin, Rank end) {
        std::vector<std::pair<uint64_t, Rank>> keyed;
        for (Rank at = begin; at < end; ++at)
            if (values_.held(order_[at]))
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
    bool foldInto(Rank into, Rank at) {
        const Slot slot = order_[at], kept = order_[into];
        if (!values_.allMatch(kept, slot, blockCount(slot))) return false;
        // The file may bring copies of its own, found before its blocks were read.
        for (Slot copy = kept; !copy.isNone(); copy = nextCopy(copy))
            for (Slot joining = slot; !joining.isNone(); joining = nextCopy(joining))
                matched_.insert(pairKey(files_[copy].position, files_[joining].position));
        copies_.join(kept.value, slot.value);
        values_.release(slot);
        return true;
    }

    // Reads the file's blocks; a file that cannot be read whole at its listed
    // size is paired by size instead. False when memory ran out.
    bool readBlocks(Slot slot) {
        const FileIndexEntry& entry = entryOf(slot);
        const BlockValues::Outcome read = values_.read(slot, entry.path, entry.listedSize, blockCount(slot));
        if (read != BlockValues::Outcome::Unreadable) return read == BlockValues::Outcome::Read;
        indexed_[slot] = 0;
        return aborted() || sizePairs_.pairAroundSize(slot);
    }

    const uint32_t* valuesOf(Rank at) const { return values_.of(order_[at]); }

    // Whether two files hold at least the blocks a qualifying pair of their
    // sizes shares, counted over the smaller file's blocks.
    bool sharesEnoughBlocks(Rank atA, Rank atB) const {
        const Slot slotA = order_[atA], slotB = order_[atB];
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

    uint32_t limitOf(Slot slotA, Slot slotB) const {
        return limits_[files_[slotA].size >= files_[slotB].size ? slotA : slotB];
    }

    // Whether the pair was looked at before in this step. The pairs looked at
    // are forgotten when they grow too many: a pair looked at again is only
    // checked again.
    bool examinedBefore(Rank atA, Rank atB) {
        if (examined_.size() > kMostExamined) examined_.clear();
        return !examined_.insert(pairKey(atA, atB));
    }

    // Two matched files that share a block among their rarest:
    // listed, with the copies folded into each, when they share enough blocks.
    void found(Rank atA, Rank atB) {
        const Slot slotA = order_[atA], slotB = order_[atB];
        const uint32_t larger = std::max(files_[slotA].size, files_[slotB].size);
        const uint32_t smaller = std::min(files_[slotA].size, files_[slotB].size);
        // Many files holding one value: pause and abort are still seen.
        if (++foundSinceGate_ % kFoundPerGate == 0) holdAtGate(state_);
        if (aborted() || limitOf(slotA, slotB) < larger - smaller || examinedBefore(atA, atB) ||
            !sharesEnoughBlocks(atA, atB))
            return;
        for (Slot a = slotA; !a.isNone(); a = nextCopy(a))
            for (Slot b = slotB; !b.isNone(); b = nextCopy(b))
                matched_.insert(pairKey(files_[a].position, files_[b].position));
    }

    // More pairs than the listing may hold: it stops, and every pair is visited instead.
    bool tooManyMatched() const { return matched_.size() > kMostCandidates; }

    bool matched(Rank at) const { return values_.held(order_[at]); }

    // Pairs within the range [home, probe) and between it and [probe, end),
    // from the rarest blocks of each file, offset by offset: each offset's
    // values go into one small table. False when memory ran out.
    bool matchRanges(Rank home, Rank probe, Rank end) {
        home_ = home;
        examined_.clear();
        if (!counts_.count(stepFiles(home, end))) return false;
        if (aborted()) return releaseCounts();
        counts_.findRarest();
        if (aborted()) return releaseCounts();
        RangeMatch match(end - home, probe - home);
        const auto pairFound = [&](uint32_t a, uint32_t b) { found(home_ + a, home_ + b); };
        const uint32_t columns = blockCount(order_[end - 1]);
        Rank homeFrom = home;
        for (uint32_t column = 0; column < columns; ++column) {
            while (homeFrom < probe && blockCount(order_[homeFrom]) <= column) ++homeFrom;
            if (homeFrom == probe || tooManyMatched() || !holdAtGate(state_)) break;
            if (column % BlockCounts::kTileColumns == 0) counts_.listRareBlocks(homeFrom - home, column);
            match.matchColumn(counts_.rareBlocks(column), pairFound);
        }
        return releaseCounts();
    }

    // The files of [home, end) as the counts see them.
    std::vector<StepFile> stepFiles(Rank home, Rank end) const {
        std::vector<StepFile> files;
        files.reserve(end - home);
        for (Rank at = home; at < end; ++at) {
            const Slot slot = order_[at];
            files.push_back({matched(at) ? valuesOf(at) : nullptr, blockCount(slot), shared_[slot]});
        }
        return files;
    }

    // The next file of the copies matched as `slot`; none after the last.
    Slot nextCopy(Slot slot) const { return Slot(copies_.next(slot.value)); }

    bool releaseCounts() {
        counts_.release();
        return true;
    }

    bool listNothing(TwinCandidates& candidates) {
        candidates.listNone(index_.count());
        return true;
    }

    bool buildLists(TwinCandidates& candidates) {
        std::vector<uint64_t> keys;
        keys.swap(sizePairs_.pairs());
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
        candidates.copies = std::move(byteCopies_);
        return true;
    }

    AppState& state_;
    const FileIndex& index_;
    const uint32_t match_;
    BlockLayout layout_;
    // The width the files are cut at.
    uint32_t width_ = 0;
    // Each matched file's differing bytes allowed, were it the larger of a pair.
    ByIndex<Slot, uint32_t> limits_;
    // Every file that may pair, by listed size (then walk order); files are named by slot here.
    ByIndex<Slot, SizedFile> files_;
    // The pairs taken by size alone.
    SizePairs sizePairs_;
    ByIndex<Slot, uint8_t> indexed_;
    // The slots of the files matched by their blocks, by size.
    ByIndex<Rank, Slot> order_;
    // The fewest blocks each matched file shares with any partner (t in
    // engine/search/directory/block_layout.h).
    ByIndex<Slot, uint32_t> shared_;
    // Files whose blocks all match, by slot, chained from the one that is matched.
    CopyClasses copies_;
    // Files of one size holding the same bytes, by position.
    CopyClasses byteCopies_;
    // Each indexed file's block values while its range of sizes is matched.
    BlockValues values_;
    // While a step is matched: how many of its files hold each block.
    BlockCounts counts_;
    // The pairs looked at in the step being matched.
    PairSet examined_;
    Rank home_;
    // Blocks of the files before each place in `order_`.
    ByIndex<Rank, uint64_t> blocksBefore_;
    uint32_t foundSinceGate_ = 0;
    PairSet matched_;
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
