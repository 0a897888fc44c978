#include "engine/search/directory/memory_pairs.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/compare/byte_diff.h"
#include "engine/compare/similarity.h"
#include "engine/search/directory/listing_index.h"
#include "engine/search/directory/memory_block.h"
#include "engine/search/directory/near_families.h"
#include "engine/search/pairs/copy_classes.h"
#include "engine/search/pairs/held_ring.h"
#include "engine/search/pairs/listed_file.h"
#include "engine/search/pairs/size_order.h"

namespace {

// Sizes of the block tried, largest first: Kestrow.exe, a 32-bit program,
// keeps the block, the index and the rows within 1 GB, and the command line
// holds no more; each is taken as no larger than the files held may need
// (blockBytesFor). A file larger than half the block is left to the search's
// own pass.
constexpr std::size_t kBlockSizes[] = {std::size_t{512} << 20, std::size_t{256} << 20, std::size_t{64} << 20,
                                       std::size_t{16} << 20, std::size_t{4} << 20};
// New files compared with the held ones at a time, counted by their first
// kCountPiece bytes: a piece of a held file is read from memory once for the
// whole batch (on the benchmark trees 1 MiB took a tenth less time than
// 256 KiB; 4 MiB no less). A batch of several files fills no more than a
// quarter of the block, so that the files they pair with may stay.
constexpr uint32_t kBatchBytes = 1u << 20;
// Pairs are counted a piece of this many bytes at a time, and the held files
// in tiles whose pieces stay in the processor's cache together while the
// batch passes them, so that a large file is not read from memory once per
// pair (on the 20,000-file benchmark tree at 50%: a fifth less time than
// whole files pair by pair; pieces of 32 KiB a little less than of 64 KiB).
constexpr uint32_t kCountPiece = 32u << 10;
constexpr uint32_t kTileBytes = 256u << 10;
// Beyond this many pairs the list would not fit beside the rows in a 32-bit
// program; the search then visits every pair instead.
constexpr std::size_t kMostPairs = std::size_t{16} << 20;

// True when no file of `larger` bytes or more can reach `match` with a file of
// `smaller` bytes. The percentage is at most what the sizes alone allow:
// below 50,000 bytes smaller * 100 / larger; above, with L = larger / 1,024
// and D = (larger - smaller) / 1,024 (both truncated), L - D is at most
// smaller / 1,024 + 1 and L at least (larger - 1,023) / 1,024, so the
// percentage is at most (smaller + 1,024) * 100 / (larger - 1,023), which is
// below `match` once (smaller + 2,047) * 100 < larger * match. Both bounds
// fall as `larger` grows, so a held file that fails this for one file fails
// it for every later, larger one.
bool tooSmallFor(uint32_t smaller, uint32_t larger, uint32_t match) {
    return (uint64_t{smaller} + 2048) * 100 < uint64_t{larger} * std::min(match, 100u);
}

struct ComparedPair {
    uint32_t a;  // a < b: the earlier file of the pair in index order
    uint32_t b;
    uint8_t percent;
};

class MemoryPass {
public:
    MemoryPass(AppState& state, const FileIndex& index, const SearchOptions& options)
        : state_(state), index_(index), match_(listedMatchPercent(options)) {}

    bool run(TwinCandidates& candidates);

private:
    struct HeldFile {
        uint32_t position;
        uint32_t size;
        // The most differing bytes a pair with this file as the larger one may hold.
        uint32_t limit;
        std::size_t offset;
    };

    uint32_t sizeOf(uint32_t position) const {
        return static_cast<uint32_t>(index_.entry(position).listedSize);
    }
    void orderBySize();
    bool takeBatch(ReadRank& rank);
    void letGoUnpairable(uint32_t size);
    bool holdFile(uint32_t position, std::size_t batchStart, ReadRank batchRank);
    bool compareTile(std::size_t tileStart, std::size_t tileEnd);
    bool countFurther();
    void addFound(const HeldFile& earlier, const HeldFile& later, uint32_t differing);
    void countFirstPiece(std::size_t e, std::size_t l);
    struct Counting;
    bool countPiece(Counting& pair, uint32_t from);
    bool listPairs(TwinCandidates& candidates);
    void addPair(uint32_t a, uint32_t b, uint8_t percent);
    void addClassPairs(uint32_t repA, uint32_t repB, uint8_t percent);
    void addUndecidedPairs();
    void addUnheldPairs(ReadRank rank);
    void addSpilledPairs(uint32_t first);

    AppState& state_;
    const FileIndex& index_;
    const uint32_t match_;
    OwnedBlock block_;
    // Files that may pair, by size, then index order; rankOf_ is the reverse.
    ByIndex<ReadRank, uint32_t> order_;
    std::vector<ReadRank> rankOf_;
    // The held files and the files found to copy one of them byte for byte,
    // each held file the first of its class; a file not held is in none.
    CopyClasses copies_;
    // Per held file: the rank of the first batch it was not compared with
    // because the block had to let it go, none when sizes alone let it go.
    std::vector<ReadRank> spilledAt_;
    std::vector<TwinFileFacts> facts_;
    // The block's files, oldest first.
    HeldRing<HeldFile> held_;
    std::vector<ComparedPair> found_;
    // Pairs of one tile with the batch whose count goes on past their first
    // piece: places in held_, and the differing bytes counted so far.
    struct Counting {
        uint32_t earlier;
        uint32_t later;
        uint32_t differing;
    };
    std::vector<Counting> counting_;
    NearFamilies families_;
    // Per file of the tile: whether it was a family's member as the tile started.
    std::vector<uint8_t> membersOfTile_;
    std::size_t batchStart_ = 0;
    std::vector<ComparedPair> pairs_;
    bool tooMany_ = false;
};

void MemoryPass::orderBySize() {
    const uint32_t count = index_.count();
    ::orderBySize(
        index_, [&](uint32_t position) { return mayPair(state_, index_.entry(position).listedSize); },
        order_.entries(), rankOf_);
    copies_.reset(count);
    spilledAt_.assign(count, ReadRank::none());
    facts_.assign(count, TwinFileFacts{});
    families_.reset(count);
}

// Lets go of the oldest held files that no file of `size` bytes or more can pair with.
void MemoryPass::letGoUnpairable(uint32_t size) {
    while (!held_.empty() && tooSmallFor(held_.oldest().size, size, match_)) held_.letGoOldest();
    held_.compact();
}

// Reads the file into the block, letting go of the oldest files held before
// this batch if room is short. False when the file is not held: it could not
// be read, or it holds the same bytes as a held file and joins that one.
bool MemoryPass::holdFile(uint32_t position, std::size_t batchStart, ReadRank batchRank) {
    const uint32_t size = sizeOf(position);
    std::size_t offset = 0;
    bool moved = false;
    const bool room = held_.makeRoom(size, offset, moved, [&] {
        if (held_.first() >= batchStart) return false;
        spilledAt_[held_.letGoOldest().position] = batchRank;
        return true;
    });
    if (!room) return false;
    uint8_t* bytes = held_.bytesAt(offset);
    if (!readListedFile(state_, index_, position, bytes, facts_[position])) return false;
    for (std::size_t i = held_.size(); i-- > held_.first() && held_[i].size == size;) {
        const uint32_t rep = held_[i].position;
        if (countDifferingBytesUpTo(held_.bytesAt(held_[i].offset), bytes, size, 0) == 0) {
            copies_.join(rep, position);
            return false;
        }
    }
    copies_.start(position);
    held_.hold(HeldFile{position, size, maxDifferingBytesFor(size, match_), offset});
    return true;
}

void MemoryPass::addFound(const HeldFile& earlier, const HeldFile& later, uint32_t differing) {
    if (found_.size() >= kMostPairs) {
        tooMany_ = true;
        return;
    }
    const uint32_t a = std::min(earlier.position, later.position),
                   b = std::max(earlier.position, later.position);
    found_.push_back(ComparedPair{a, b, static_cast<uint8_t>(similarityPercent(later.size, differing))});
    families_.join(earlier.position, later.position, differing, later.limit);
}

// Counts the first piece of the pair of held files e and l, a later file of
// the batch larger by no more than its limit, unless e's family rules the pair
// out; a pair still open past it goes to counting_. The later file is never
// smaller: the larger size, and so the limit, is its own.
void MemoryPass::countFirstPiece(std::size_t e, std::size_t l) {
    const HeldFile &earlier = held_[e], &later = held_[l];
    const uint32_t extra = later.size - earlier.size;
    if (families_.ruledOut(earlier.position, static_cast<uint32_t>(l - batchStart_), later.limit)) return;
    Counting pair{static_cast<uint32_t>(e), static_cast<uint32_t>(l), extra};
    if (countPiece(pair, 0)) counting_.push_back(pair);
}

// Adds the piece of `pair` from `from` on to its count, a leader's up to its
// reach past the limit, so that the count rules out its members too. True
// while the count goes on past the piece; a pair counted to its end within
// the limit is found.
bool MemoryPass::countPiece(Counting& pair, uint32_t from) {
    const HeldFile &earlier = held_[pair.earlier], &later = held_[pair.later];
    const uint32_t piece = std::min(kCountPiece, earlier.size - from);
    const uint32_t stop = later.limit + families_.reachOf(earlier.position);
    pair.differing +=
        countDifferingBytesUpTo(held_.bytesAt(earlier.offset + from), held_.bytesAt(later.offset + from),
                                piece, stop - pair.differing);
    if (families_.leads(earlier.position))
        families_.noteCount(earlier.position, static_cast<uint32_t>(pair.later - batchStart_),
                            pair.differing);
    if (pair.differing > stop) return false;
    if (from + piece < earlier.size) return true;
    if (pair.differing <= later.limit) addFound(earlier, later, pair.differing);
    return false;
}

// Counts the first piece of each pair of a held file of the tile with a later
// file of the batch, then the pairs still open: first those of the files that
// are no family's member as the tile starts, then the members', so that each
// member meets counts of its leader that are complete, which rule it out of a
// pair before its first byte is compared, where counts side by side would pass
// their limits together.
bool MemoryPass::compareTile(std::size_t tileStart, std::size_t tileEnd) {
    membersOfTile_.assign(tileEnd - tileStart, 0);
    for (std::size_t e = tileStart; e < tileEnd; ++e)
        membersOfTile_[e - tileStart] = families_.isMember(held_[e].position);
    for (const uint8_t members : {0, 1}) {
        counting_.clear();
        for (std::size_t l = std::max(batchStart_, tileStart + 1); l < held_.size(); ++l) {
            if (!holdAtGate(state_) || tooMany_) return false;
            // Held files are in order of size: those whose missing bytes alone pass the limit come first.
            const uint32_t smallest = held_[l].size - std::min(held_[l].limit, held_[l].size);
            const std::size_t last = std::min(tileEnd, l);
            const auto first =
                std::lower_bound(held_.begin() + static_cast<std::ptrdiff_t>(tileStart),
                                 held_.begin() + static_cast<std::ptrdiff_t>(last), smallest,
                                 [](const HeldFile& held, uint32_t size) { return held.size < size; });
            for (std::size_t e = static_cast<std::size_t>(first - held_.begin()); e < last; ++e)
                if (membersOfTile_[e - tileStart] == members) countFirstPiece(e, l);
        }
        if (!countFurther()) return false;
    }
    return true;
}

// Counts the open pairs piece by piece, each piece of the tile's files once
// for all the batch, until every pair is decided.
bool MemoryPass::countFurther() {
    for (uint32_t from = kCountPiece; !counting_.empty(); from += kCountPiece) {
        std::size_t kept = 0;
        for (std::size_t i = 0; i < counting_.size(); ++i) {
            if ((i == 0 || counting_[i].later != counting_[i - 1].later) && (!holdAtGate(state_) || tooMany_))
                return false;
            Counting pair = counting_[i];
            // Its leader's count, noted piece by piece ahead of it, may rule it out by now.
            const HeldFile &earlier = held_[pair.earlier], &later = held_[pair.later];
            if (families_.ruledOut(earlier.position, static_cast<uint32_t>(pair.later - batchStart_),
                                   later.limit))
                continue;
            if (countPiece(pair, from)) counting_[kept++] = pair;
        }
        counting_.resize(kept);
    }
    return true;
}

// Reads the next batch of files from `rank` on and compares it with the held
// files and within itself; false after an abort.
bool MemoryPass::takeBatch(ReadRank& rank) {
    const ReadRank batchRank = rank;
    state_.currentFileText.write(index_.entry(order_[rank]).path);
    letGoUnpairable(sizeOf(order_[rank]));
    const std::size_t batchStart = held_.size();
    uint64_t pieces = 0, bytes = 0;
    for (; rank < order_.end(); ++rank) {
        const uint32_t position = order_[rank], size = sizeOf(position);
        if (rank != batchRank &&
            (pieces + std::min(size, kCountPiece) > kBatchBytes || bytes + size > held_.capacity() / 4))
            break;
        if (size == 0 || size > held_.capacity() / 2) continue;
        if (holdFile(position, batchStart, batchRank)) {
            pieces += std::min(size, kCountPiece);
            bytes += size;
        }
        if (state_.runControl.load() == AbortRequested) return false;
    }
    batchStart_ = batchStart;
    families_.startBatch(static_cast<uint32_t>(held_.size() - batchStart));
    for (std::size_t tileStart = held_.first(), tileEnd; tileStart < held_.size(); tileStart = tileEnd) {
        uint32_t tileBytes = std::min(held_[tileStart].size, kCountPiece);
        for (tileEnd = tileStart + 1;
             tileEnd < held_.size() && tileBytes + std::min(held_[tileEnd].size, kCountPiece) <= kTileBytes;
             ++tileEnd)
            tileBytes += std::min(held_[tileEnd].size, kCountPiece);
        if (!compareTile(tileStart, tileEnd)) return false;
    }
    return true;
}

void MemoryPass::addPair(uint32_t a, uint32_t b, uint8_t percent) {
    if (pairs_.size() >= kMostPairs) {
        tooMany_ = true;
        return;
    }
    pairs_.push_back(ComparedPair{std::min(a, b), std::max(a, b), percent});
}

// Every pair of one file of class A with one of class B (within one class
// when they are the same), except two names of one physical file.
void MemoryPass::addClassPairs(uint32_t repA, uint32_t repB, uint8_t percent) {
    for (uint32_t a = repA; a != CopyClasses::kEnd; a = copies_.next(a)) {
        for (uint32_t b = repA == repB ? copies_.next(a) : repB; b != CopyClasses::kEnd;
             b = copies_.next(b)) {
            if (namesOneFile(index_.entry(a).path, index_.entry(b).path, facts_[a], facts_[b])) continue;
            addPair(a, b, percent);
        }
    }
}

// Pairs of fitting sizes that no batch compared: those of a file not held,
// and those of a class the block let go with later files it had not met.
void MemoryPass::addUndecidedPairs() {
    for (ReadRank rank(0); rank < order_.end() && !tooMany_; ++rank) {
        const uint32_t position = order_[rank];
        if (copies_.firstOf(position) == kNoEntry) {
            addUnheldPairs(rank);
        } else if (copies_.firstOf(position) == position && !spilledAt_[position].isNone()) {
            addSpilledPairs(position);
        }
    }
}

// The pairs of the file at `rank`, which was not held, with each held earlier
// file and each later file of a fitting size.
void MemoryPass::addUnheldPairs(ReadRank rank) {
    const uint32_t position = order_[rank], size = sizeOf(position);
    for (ReadRank other = rank; ReadRank(0) < other;) {
        other = other - 1;
        if (tooSmallFor(sizeOf(order_[other]), size, match_)) break;
        if (copies_.firstOf(order_[other]) != kNoEntry) addPair(position, order_[other], kUndecidedPair);
    }
    for (ReadRank other = rank + 1; other < order_.end() && !tooSmallFor(size, sizeOf(order_[other]), match_);
         ++other)
        addPair(position, order_[other], kUndecidedPair);
}

// The pairs of the class of `first`, which the block let go, with each held
// later file of a fitting size whose class it had not met by then.
void MemoryPass::addSpilledPairs(uint32_t first) {
    const uint32_t size = sizeOf(first);
    const ReadRank spilled = spilledAt_[first];
    for (ReadRank other = spilled; other < order_.end() && !tooSmallFor(size, sizeOf(order_[other]), match_);
         ++other) {
        const uint32_t rep = copies_.firstOf(order_[other]);
        if (rep == kNoEntry || rankOf_[rep] < spilled) continue;
        for (uint32_t copy = first; copy != CopyClasses::kEnd; copy = copies_.next(copy))
            addPair(copy, order_[other], kUndecidedPair);
    }
}

// Puts the pairs in the order the search lists them: by earlier file, then by
// later file, both in index order.
bool MemoryPass::listPairs(TwinCandidates& candidates) {
    for (const ComparedPair& pair : found_) addClassPairs(pair.a, pair.b, pair.percent);
    found_ = std::vector<ComparedPair>();
    for (const uint32_t position : order_.entries())
        if (copies_.firstOf(position) == position && copies_.hasCopies(position))
            addClassPairs(position, position, 100);
    addUndecidedPairs();
    if (tooMany_) return false;
    const uint32_t count = index_.count();
    candidates.partnerStart.assign(std::size_t{count} + 1, 0);
    for (const ComparedPair& pair : pairs_) ++candidates.partnerStart[pair.a + 1];
    candidates.sumPartnerCounts();
    std::vector<uint64_t> sorted(pairs_.size());
    {
        std::vector<uint32_t> next(candidates.partnerStart.begin(), candidates.partnerStart.end() - 1);
        for (const ComparedPair& pair : pairs_) sorted[next[pair.a]++] = uint64_t{pair.b} << 8 | pair.percent;
    }
    pairs_ = std::vector<ComparedPair>();
    candidates.partners.resize(sorted.size());
    candidates.percents.resize(sorted.size());
    std::vector<uint8_t> grouped(count, 0);
    for (uint32_t a = 0; a < count; ++a) {
        if (!holdAtGate(state_)) {
            candidates.listNone(count);
            return true;
        }
        const auto first = sorted.begin() + candidates.partnerStart[a];
        const auto last = sorted.begin() + candidates.partnerStart[a + 1];
        std::sort(first, last);
        for (auto i = first; i != last; ++i) {
            const std::size_t at = static_cast<std::size_t>(i - sorted.begin());
            candidates.partners[at] = static_cast<uint32_t>(*i >> 8);
            candidates.percents[at] = static_cast<uint8_t>(*i & 0xFF);
            if (candidates.percents[at] == kUndecidedPair) grouped[a] = grouped[candidates.partners[at]] = 1;
        }
    }
    candidates.grouped = static_cast<uint32_t>(std::count(grouped.begin(), grouped.end(), 1));
    candidates.facts = std::move(facts_);
    return true;
}

bool MemoryPass::run(TwinCandidates& candidates) {
    orderBySize();
    std::size_t bytes = 0;
    block_ = largestBlockOf(state_, kBlockSizes, bytes,
                            blockBytesFor(index_, order_.entries(), kBlockSizes[0], 2));
    if (!block_) return false;
    held_.useBlock(block_.get(), bytes);
    const uint32_t files = static_cast<uint32_t>(order_.size());
    bool running = holdAtGate(state_);
    for (ReadRank rank(0); running && rank < order_.end();) {
        running = takeBatch(rank);
        state_.progressPercent.store(
            static_cast<uint32_t>(uint64_t{rank.value} * kCandidatesProgress / files));
    }
    block_.reset();
    held_.release();
    if (tooMany_) return false;
    if (!running) {
        // Nothing is listed after an abort: pairing ends before its first pair.
        candidates.listNone(index_.count());
        return true;
    }
    return listPairs(candidates);
}

// The cost model of memoryLooksCheaper, in nanoseconds, from both ways timed
// on the benchmark trees (licence texts, headers, templates, copies, random
// bytes, a copy of a system's shared files): a held pair looked at, a byte
// compared before a pair's early stop, and the listing's work per byte and per
// file beyond reading each file once, which both ways do. The listing is
// charged twice its estimate, since trees of shared content cost it more than
// their bytes suggest, while many small files of near sizes (a pair count
// growing with the square of the files) still go to the listing.
constexpr double kPairNs = 2.5;
constexpr double kComparedByteNs = 0.06;
constexpr double kListingByteNs = 3.0;
constexpr double kListingFileNs = 20000.0;
constexpr double kListingShare = 2.0;
// A pair with a file larger than half the block the 32-bit program can count
// on is read from disk by the search's own pass.
constexpr uint32_t kLargestHeldFile = 128u << 20;
constexpr double kUnheldByteNs = 1.0;

}  // namespace

bool memoryLooksCheaper(const AppState& state, const FileIndex& index, const SearchOptions& options) {
    const uint32_t match = listedMatchPercent(options);
    std::vector<uint32_t> sizes;
    for (uint32_t position = 0; position < index.count(); ++position) {
        const uint64_t size = index.entry(position).listedSize;
        if (size != 0 && mayPair(state, size)) sizes.push_back(static_cast<uint32_t>(size));
    }
    std::sort(sizes.begin(), sizes.end());
    std::vector<uint64_t> before(sizes.size() + 1, 0);
    for (std::size_t i = 0; i < sizes.size(); ++i) before[i + 1] = before[i] + sizes[i];
    const double budget =
        kListingShare * (kListingByteNs * static_cast<double>(before.back()) + kListingFileNs * sizes.size());
    double held = 0;
    for (std::size_t i = 0, first = 0; i < sizes.size(); ++i) {
        const uint32_t larger = sizes[i];
        while (first < i && tooSmallFor(sizes[first], larger, match)) ++first;
        held += kPairNs * static_cast<double>(i - first);
        // Pairs whose extra bytes leave room to differ are compared up to the limit.
        const uint32_t limit = std::min(maxDifferingBytesFor(larger, match), larger);
        const std::size_t from = static_cast<std::size_t>(
            std::lower_bound(sizes.begin() + first, sizes.begin() + i, larger - limit) - sizes.begin());
        const double pairs = static_cast<double>(i - from);
        const double smallerBytes = static_cast<double>(before[i] - before[from]);
        if (larger > kLargestHeldFile)
            held += kUnheldByteNs * (pairs * larger + smallerBytes);
        else
            held += kComparedByteNs * (pairs * (static_cast<double>(limit) + 1 - larger) + smallerBytes);
        if (held > budget) return false;
    }
    return true;
}

bool decideInMemory(AppState& state, const FileIndex& index, const SearchOptions& options,
                    TwinCandidates& candidates) {
    MemoryPass pass(state, index, options);
    if (pass.run(candidates)) return true;
    candidates = TwinCandidates();
    return false;
}
