#include "engine/block_index.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/block_layout.h"
#include "engine/compare.h"
#include "engine/fs.h"

namespace {

// A file with no more partners of a fitting size than this is compared with
// each of them: cheaper than reading it for its blocks.
constexpr uint32_t kFewPartners = 8;
// Larger files are compared pair by pair: they are few, and their blocks would be many.
constexpr uint32_t kLargestIndexed = 64u << 20;
// Bytes of block values held at once, for two neighbouring ranges of sizes.
constexpr uint64_t kBlockBudget = 512ull << 20;
// More listed pairs than this would not pay: the search visits every pair instead.
constexpr std::size_t kMostCandidates = std::size_t{16} << 20;
// Bytes read at a time while reading a file for its blocks.
constexpr uint32_t kReadPiece = 1u << 20;
constexpr uint32_t kNone = 0xFFFFFFFFu;

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

// Pairs found, each kept once.
class PairSet {
public:
    void insert(uint64_t key) {
        if ((count_ + 1) * 2 > slots_.size()) grow();
        std::size_t slot = spot(key);
        if (slots_[slot] == key) return;
        slots_[slot] = key;
        ++count_;
    }
    std::size_t size() const { return count_; }
    void appendTo(std::vector<uint64_t>& keys) const {
        for (const uint64_t key : slots_)
            if (key != kEmpty) keys.push_back(key);
    }

private:
    static constexpr uint64_t kEmpty = ~uint64_t{0};
    std::size_t spot(uint64_t key) const {
        const std::size_t mask = slots_.size() - 1;
        std::size_t slot = static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> 20) & mask;
        while (slots_[slot] != kEmpty && slots_[slot] != key) slot = (slot + 1) & mask;
        return slot;
    }
    void grow() {
        std::vector<uint64_t> old(slots_.size() * 2, kEmpty);
        old.swap(slots_);
        for (const uint64_t key : old)
            if (key != kEmpty) slots_[spot(key)] = key;
    }

    std::vector<uint64_t> slots_ = std::vector<uint64_t>(1024, kEmpty);
    std::size_t count_ = 0;
};

class CandidateListing {
public:
    CandidateListing(AppState& state, const FileIndex& index)
        : state_(state), index_(index), match_(listedMatchPercent(state)) {}

    bool run(TwinCandidates& candidates) {
        sortBySize();
        if (files_.size() < 2) return false;
        layout_ = blockLayoutFor(match_, std::min(files_.back().size, kLargestIndexed));
        if (layout_.width == 0) return false;
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
        if (!pairEqualContents(equalSizeOnly) || !matchBlocks()) return false;
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

    uint32_t blockCount(uint32_t slot) const { return files_[slot].size / layout_.width; }

    void chooseIndexed() {
        indexed_.assign(files_.size(), 0);
        blocks_.clear();
        blocks_.resize(files_.size());
        for (uint32_t slot = 0; slot < files_.size(); ++slot) {
            const uint32_t size = files_[slot].size;
            if (size < layout_.smallestSize || size > layout_.largestSize) continue;
            const auto [begin, end] = sizeRange(size);
            if (end - begin <= kFewPartners + 1) continue;
            indexed_[slot] = 1;
            order_.push_back(slot);
            bytesToRead_ += uint64_t{blockCount(slot)} * layout_.width;
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

    // Ranges of sizes, in `order_`, such that a pair whose smaller file lies in
    // one range has its larger file in the same range or the next.
    std::vector<uint32_t> sizeRanges() const {
        std::vector<uint32_t> starts;
        for (uint32_t at = 0; at < order_.size();) {
            starts.push_back(at);
            const uint32_t largest = largestPartnerSize(files_[order_[at]].size, match_);
            while (at < order_.size() && files_[order_[at]].size <= largest) ++at;
        }
        starts.push_back(static_cast<uint32_t>(order_.size()));
        return starts;
    }

    uint64_t blockBytes(uint32_t begin, uint32_t end) const {
        uint64_t bytes = 0;
        for (uint32_t at = begin; at < end; ++at) bytes += uint64_t{blockCount(order_[at])} * 4;
        return bytes;
    }

    bool matchBlocks() {
        const std::vector<uint32_t> starts = sizeRanges();
        const std::size_t ranges = starts.size() - 1;
        for (std::size_t range = 0; range < ranges; ++range)
            if (blockBytes(starts[range], starts[std::min(range + 2, ranges)]) > kBlockBudget) return false;
        if (ranges > 0 && !readRange(starts[0], starts[1])) return false;
        for (std::size_t range = 0; range < ranges && !aborted(); ++range) {
            const uint32_t next = range + 1 < ranges ? starts[range + 2] : starts[range + 1];
            if (!readRange(starts[range + 1], next)) return false;
            if (aborted()) break;
            matchRanges(starts[range], starts[range + 1], next);
            if (tooManyMatched()) return false;
            for (uint32_t at = starts[range]; at < starts[range + 1]; ++at)
                blocks_[order_[at]].reset();
        }
        return true;
    }

    bool readRange(uint32_t begin, uint32_t end) {
        for (uint32_t at = begin; at < end && !aborted(); ++at)
            if (!readBlocks(order_[at])) return false;
        return true;
    }

    // Reads the file's blocks; a file that cannot be read whole at its listed
    // size is paired by size instead. False when memory ran out.
    bool readBlocks(uint32_t slot) {
        const FileIndexEntry& entry = index_.entry(files_[slot].position);
        const fs::OwnedFile file = fs::openRead(entry.path);
        const bool sameSize = file && fs::fileSize(file.get()) == entry.listedSize;
        const uint32_t count = blockCount(slot);
        OwnedBlock values = sameSize ? OwnedBlock(state_, std::size_t{count} * 4) : OwnedBlock();
        const bool noMemory = sameSize && !values;
        const bool whole = values && readValues(file.get(), count, reinterpret_cast<uint32_t*>(values.get()));
        if (whole) {
            blocks_[slot] = std::move(values);
            return true;
        }
        if (noMemory) return false;
        indexed_[slot] = 0;
        return aborted() || pairAroundSize(slot);
    }

    bool readValues(fs::File* file, uint32_t count, uint32_t* values) {
        const uint32_t width = layout_.width;
        const uint32_t perPiece = std::max(kReadPiece / width, 1u);
        for (uint32_t done = 0; done < count;) {
            if (!holdAtGate(state_)) return false;
            const uint32_t blocks = std::min(perPiece, count - done);
            const uint32_t length = blocks * width;
            if (readFromFile(state_, file, state_.compareBufferA, length) != length) return false;
            for (uint32_t block = 0; block < blocks; ++block)
                values[done + block] = blockValue(state_.compareBufferA + block * width, width);
            done += blocks;
            bytesRead_ += length;
            state_.progressPercent.store(static_cast<uint32_t>(bytesRead_ * kListingProgress / bytesToRead_));
        }
        return true;
    }

    const uint32_t* valuesOf(uint32_t at) const {
        return reinterpret_cast<const uint32_t*>(blocks_[order_[at]].get());
    }

    void found(uint32_t atA, uint32_t atB) {
        const SizedFile& a = files_[order_[atA]];
        const SizedFile& b = files_[order_[atB]];
        if (!sizesRuleOut(a.size, b.size, match_)) matched_.insert(pairKey(a.position, b.position));
    }

    // More pairs than the listing may hold: it stops, and every pair is visited instead.
    bool tooManyMatched() const { return matched_.size() > kMostCandidates; }

    // Pairs within the range [home, probe) and between it and [probe, end),
    // block by block: each block offset's values go into one small table.
    void matchRanges(uint32_t home, uint32_t probe, uint32_t end) {
        struct Slot {
            uint32_t value;
            uint32_t first;
            uint32_t generation;
        };
        const uint32_t homeCount = probe - home;
        std::size_t capacity = 16;
        while (capacity < std::size_t{homeCount} * 2) capacity *= 2;
        std::vector<Slot> table(capacity, Slot{0, kNone, 0});
        std::vector<uint32_t> nextSame(homeCount, kNone);
        const std::size_t mask = capacity - 1;
        auto spot = [&](uint32_t value, uint32_t generation) {
            std::size_t at = (value * 0x9E3779B1u) & mask;
            while (table[at].generation == generation && table[at].value != value) at = (at + 1) & mask;
            return at;
        };
        const uint32_t columns = blockCount(order_[end - 1]);
        uint32_t homeFrom = home, probeFrom = probe;
        for (uint32_t column = 0; column < columns; ++column) {
            const uint32_t generation = ++generation_;
            while (homeFrom < probe && blockCount(order_[homeFrom]) <= column) ++homeFrom;
            while (probeFrom < end && blockCount(order_[probeFrom]) <= column) ++probeFrom;
            if (homeFrom == probe || tooManyMatched() || !holdAtGate(state_)) return;
            for (uint32_t at = homeFrom; at < probe; ++at) {
                if (!blocks_[order_[at]]) continue;
                const uint32_t value = valuesOf(at)[column];
                Slot& slot = table[spot(value, generation)];
                const uint32_t local = at - home;
                nextSame[local] = kNone;
                if (slot.generation == generation) {
                    for (uint32_t same = slot.first; same != kNone; same = nextSame[same])
                        found(home + same, at);
                    nextSame[local] = slot.first;
                }
                slot = Slot{value, local, generation};
            }
            for (uint32_t at = probeFrom; at < end; ++at) {
                if (!blocks_[order_[at]]) continue;
                const Slot& slot = table[spot(valuesOf(at)[column], generation)];
                if (slot.generation != generation) continue;
                for (uint32_t same = slot.first; same != kNone; same = nextSame[same]) found(home + same, at);
            }
        }
    }

    bool listNothing(TwinCandidates& candidates) {
        candidates.partnerStart.assign(std::size_t{index_.count()} + 1, 0);
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
        for (uint32_t position = 0; position < count; ++position)
            candidates.partnerStart[position + 1] += candidates.partnerStart[position];
        candidates.grouped = static_cast<uint32_t>(std::count(paired.begin(), paired.end(), 1));
        return true;
    }

    AppState& state_;
    const FileIndex& index_;
    const uint32_t match_;
    BlockLayout layout_;
    // Every file that may pair, by listed size (then walk order); files are named by slot here.
    std::vector<SizedFile> files_;
    std::vector<uint8_t> indexed_;
    // The slots of the files matched by their blocks, by size.
    std::vector<uint32_t> order_;
    // Each indexed file's block values while its range of sizes is matched.
    std::vector<OwnedBlock> blocks_;
    std::vector<uint64_t> aroundPairs_;
    PairSet matched_;
    uint64_t bytesToRead_ = 0;
    uint64_t bytesRead_ = 0;
    uint32_t generation_ = 0;
    uint32_t lastSmallSize_ = 0;
    bool lastSmallSizeAlone_ = false;
};

}  // namespace

bool listTwinCandidates(AppState& state, const FileIndex& index, TwinCandidates& candidates) {
    CandidateListing listing(state, index);
    if (listing.run(candidates)) return true;
    candidates = TwinCandidates();
    return false;
}
