#include "engine/search/directory/listed_pairs.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "engine/compare/byte_diff.h"
#include "engine/compare/similarity.h"
#include "engine/search/directory/block_layout.h"
#include "engine/search/directory/listing_index.h"
#include "engine/search/directory/memory_block.h"
#include "engine/search/pairs/copy_classes.h"
#include "engine/search/pairs/held_ring.h"
#include "engine/search/pairs/listed_file.h"
#include "engine/search/pairs/size_order.h"

namespace {

// Sizes of the block tried, largest first: Kestrow.exe, a 32-bit program,
// keeps the block, the index, the list of pairs and the rows within 1 GB;
// each is taken as no larger than the files held may need (blockBytesFor). A
// file larger than a quarter of the block is left to the search's own pass.
constexpr std::size_t kBlockSizes[] = {std::size_t{256} << 20, std::size_t{64} << 20, std::size_t{16} << 20,
                                       std::size_t{4} << 20};
// Pairs decided between two looks at the pause gate.
constexpr uint32_t kPairsPerGate = 4096;
constexpr std::size_t kNotHeld = ~std::size_t{0};

class ListedPairs {
public:
    ListedPairs(AppState& state, const FileIndex& index, const SearchOptions& options,
                TwinCandidates& candidates)
        : state_(state), index_(index), candidates_(candidates), match_(listedMatchPercent(options)) {}

    void run() {
        orderBySize();
        std::size_t bytes = 0;
        block_ = largestBlockOf(state_, kBlockSizes, bytes,
                                blockBytesFor(index_, order_.entries(), kBlockSizes[0], 4));
        if (!block_) return leaveAllUndecided();
        held_.useBlock(block_.get(), bytes);
        orderPairsByLaterFile();
        const uint32_t progressFrom = state_.progressPercent.load();
        const uint32_t files = static_cast<uint32_t>(order_.size());
        for (ReadRank rank(0); rank < order_.end(); ++rank) {
            if (!holdAtGate(state_)) return listNothing();
            takeFile(rank);
            if (aborted()) return listNothing();
            state_.progressPercent.store(
                progressFrom +
                static_cast<uint32_t>(uint64_t{rank.value + 1} * (kDecidedProgress - progressFrom) / files));
        }
        block_.reset();
        finishLists();
    }

private:
    struct HeldFile {
        uint32_t position;
        uint32_t size;
        // The largest file that may still pair with it.
        uint32_t largestPartner;
        std::size_t offset;
    };

    bool aborted() const { return state_.runControl.load() == AbortRequested; }
    uint32_t sizeOf(uint32_t position) const {
        return static_cast<uint32_t>(index_.entry(position).listedSize);
    }

    // Every file of a listed pair, by size, then index order.
    void orderBySize() {
        const uint32_t count = index_.count();
        std::vector<uint8_t> listed(count, 0);
        for (uint32_t a = 0; a < count; ++a) {
            if (candidates_.partnerStart[a] == candidates_.partnerStart[a + 1]) continue;
            listed[a] = 1;
            for (uint32_t i = candidates_.partnerStart[a]; i < candidates_.partnerStart[a + 1]; ++i)
                listed[candidates_.partners[i]] = 1;
        }
        ::orderBySize(
            index_, [&](uint32_t position) { return listed[position] != 0; }, order_.entries(), rankOf_);
        heldAt_.assign(count, kNotHeld);
        copies_.reset(count);
        comparedFor_.assign(count, kNoEntry);
        comparedPercent_.assign(count, 0);
        facts_.assign(count, TwinFileFacts{});
        candidates_.percents.assign(candidates_.partners.size(), kUndecidedPair);
    }

    // Each pair is decided once the later of its files by size is read:
    // pairsAt_ lists the pairs of each rank, from rankStart_.
    void orderPairsByLaterFile() {
        const uint32_t count = index_.count();
        owner_.resize(candidates_.partners.size());
        rankStart_.assign(order_.size() + 1, 0);
        for (uint32_t a = 0; a < count; ++a) {
            for (uint32_t i = candidates_.partnerStart[a]; i < candidates_.partnerStart[a + 1]; ++i) {
                owner_[i] = a;
                ++rankStart_[laterRank(i) + 1];
            }
        }
        for (ReadRank rank(0); rank < order_.end(); ++rank) rankStart_[rank + 1] += rankStart_[rank];
        pairsAt_.resize(candidates_.partners.size());
        ByIndex<ReadRank, uint32_t> next = rankStart_;
        for (uint32_t i = 0; i < pairsAt_.size(); ++i) pairsAt_[next[laterRank(i)]++] = i;
    }

    ReadRank laterRank(uint32_t pair) const {
        return std::max(rankOf_[owner_[pair]], rankOf_[candidates_.partners[pair]]);
    }

    // The other file of the pair than the one at `rank`.
    uint32_t otherOf(uint32_t pair, ReadRank rank) const {
        const uint32_t owner = owner_[pair];
        return rankOf_[owner] == rank ? candidates_.partners[pair] : owner;
    }

    // Reads the file at `rank`, finds whether it copies an earlier file and
    // decides its pairs with the files before it.
    void takeFile(ReadRank rank) {
        const uint32_t position = order_[rank];
        const uint32_t size = sizeOf(position);
        state_.currentFileText.write(index_.entry(position).path);
        letGoUnpairable(size);
        std::size_t offset = 0;
        const uint32_t copied = candidates_.copies.originalOf(position);
        if (copied != kNoEntry && copies_.firstOf(copied) != kNoEntry) {
            // Found to hold its original's bytes before the listing: not read again.
            if (openListedFile(index_, position, facts_[position])) copies_.join(copied, position);
        } else if (size != 0 && size <= held_.capacity() / 4 && makeRoom(size, offset) &&
                   readListedFile(state_, index_, position, held_.bytesAt(offset), facts_[position])) {
            const uint32_t original = copiedFile(rank, position, offset);
            if (original != position) {
                copies_.join(original, position);
            } else {
                copies_.start(position);
                held_.hold(HeldFile{position, size, largestPartnerSize(size, match_), offset});
                heldAt_[position] = offset;
            }
        }
        for (uint32_t at = rankStart_[rank]; at < rankStart_[rank + 1] && !aborted(); ++at) {
            const uint32_t pair = pairsAt_[at];
            candidates_.percents[pair] = decide(position, otherOf(pair, rank));
            if (++decidedSinceGate_ % kPairsPerGate == 0) holdAtGate(state_);
        }
    }

    // Lets go of the oldest held files that no file of `size` bytes or more can pair with.
    void letGoUnpairable(uint32_t size) {
        while (!held_.empty() && held_.oldest().largestPartner < size) letGoOldest();
        held_.compact();
    }

    void letGoOldest() { heldAt_[held_.letGoOldest().position] = kNotHeld; }

    // Room for `size` bytes after the newest held file, the block being a
    // ring that grows into the rest of the block before the oldest files are
    // let go.
    bool makeRoom(uint32_t size, std::size_t& offset) {
        bool moved = false;
        const bool room = held_.makeRoom(size, offset, moved, [this] {
            letGoOldest();
            return true;
        });
        if (moved)
            for (std::size_t place = held_.first(); place < held_.size(); ++place)
                heldAt_[held_[place].position] = held_[place].offset;
        return room;
    }

    // The held earlier file of the same size and bytes that the file is
    // listed with, or the file itself.
    uint32_t copiedFile(ReadRank rank, uint32_t position, std::size_t offset) {
        const uint32_t size = sizeOf(position);
        for (uint32_t at = rankStart_[rank]; at < rankStart_[rank + 1]; ++at) {
            const uint32_t other = otherOf(pairsAt_[at], rank);
            if (sizeOf(other) != size || copies_.firstOf(other) != other || heldAt_[other] == kNotHeld)
                continue;
            if (countDifferingBytesUpTo(held_.bytesAt(heldAt_[other]), held_.bytesAt(offset), size, 0) == 0)
                return other;
        }
        return position;
    }

    // The percentage of the pair of the file just read with an earlier one.
    uint8_t decide(uint32_t position, uint32_t other) {
        const uint32_t original = copies_.firstOf(position), otherOriginal = copies_.firstOf(other);
        if (original == kNoEntry || otherOriginal == kNoEntry) return kUndecidedPair;
        if (namesOneFile(index_.entry(position).path, index_.entry(other).path, facts_[position],
                         facts_[other]))
            return 0;
        if (original == otherOriginal) return 100;
        if (original != position) {
            // A copy: its original's pair was decided when the later of the two was read.
            const auto known = decidedOriginals_.find(pairKey(Position(original), Position(otherOriginal)));
            return known == decidedOriginals_.end() ? 0 : known->second;
        }
        if (comparedFor_[otherOriginal] == position) return comparedPercent_[otherOriginal];
        const uint8_t percent = compareHeld(position, otherOriginal);
        comparedFor_[otherOriginal] = position;
        comparedPercent_[otherOriginal] = percent;
        // Copies read later take these; a pair below matchPercent is not kept.
        if (percent >= match_)
            decidedOriginals_.emplace(pairKey(Position(position), Position(otherOriginal)), percent);
        return percent;
    }

    // The percentage of two held files when it reaches matchPercent, else 0;
    // kUndecidedPair when the earlier one was let go.
    uint8_t compareHeld(uint32_t position, uint32_t earlier) {
        if (heldAt_[earlier] == kNotHeld) return kUndecidedPair;
        const uint32_t size = sizeOf(position), earlierSize = sizeOf(earlier);
        const uint32_t larger = std::max(size, earlierSize), smaller = std::min(size, earlierSize);
        const uint32_t limit = maxDifferingBytesFor(larger, match_);
        if (larger - smaller > limit) return 0;
        const uint32_t differing =
            larger - smaller +
            countDifferingBytesUpTo(held_.bytesAt(heldAt_[position]), held_.bytesAt(heldAt_[earlier]),
                                    smaller, limit - (larger - smaller));
        return differing > limit ? 0 : static_cast<uint8_t>(similarityPercent(larger, differing));
    }

    void finishLists() {
        const uint32_t count = index_.count();
        std::vector<uint8_t> undecided(count, 0);
        for (uint32_t pair = 0; pair < candidates_.partners.size(); ++pair)
            if (candidates_.percents[pair] == kUndecidedPair)
                undecided[owner_[pair]] = undecided[candidates_.partners[pair]] = 1;
        candidates_.grouped = static_cast<uint32_t>(std::count(undecided.begin(), undecided.end(), 1));
        candidates_.facts = std::move(facts_);
    }

    // No memory for the block: every listed pair is left to the search's own pass.
    void leaveAllUndecided() { candidates_.percents.clear(); }

    // After an abort the search lists no pair.
    void listNothing() { candidates_.listNone(index_.count()); }

    AppState& state_;
    const FileIndex& index_;
    TwinCandidates& candidates_;
    const uint32_t match_;
    OwnedBlock block_;
    // Files of listed pairs by size, and each file's place among them.
    ByIndex<ReadRank, uint32_t> order_;
    std::vector<ReadRank> rankOf_;
    // Per listed pair, the file it is listed under; the pairs by the rank of their later file.
    std::vector<uint32_t> owner_;
    ByIndex<ReadRank, uint32_t> rankStart_;
    std::vector<uint32_t> pairsAt_;
    // The block's files, oldest first; each file's place in the block.
    HeldRing<HeldFile> held_;
    std::vector<std::size_t> heldAt_;
    // The files read, each in the class of the earliest it holds the same
    // bytes as; a file not read is in none.
    CopyClasses copies_;
    std::vector<TwinFileFacts> facts_;
    // Pairs of originals that reach matchPercent or were left undecided.
    std::unordered_map<uint64_t, uint8_t> decidedOriginals_;
    // Per original: the last file read that was compared with it, and the percentage.
    std::vector<uint32_t> comparedFor_;
    std::vector<uint8_t> comparedPercent_;
    uint32_t decidedSinceGate_ = 0;
};

}  // namespace

void decideListedPairs(AppState& state, const FileIndex& index, const SearchOptions& options,
                       TwinCandidates& candidates) {
    ListedPairs(state, index, options, candidates).run();
}
