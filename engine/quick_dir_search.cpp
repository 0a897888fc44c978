#include "engine/quick_dir_search.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <queue>
#include <vector>

#include "engine/byte_diff.h"
#include "engine/compare.h"
#include "engine/file_hash.h"
#include "engine/twin_candidates.h"
#include "engine/twin_pairing.h"

namespace {

// The block in which a group's pieces are read side by side.
constexpr uint32_t kGroupBlockSize = 32u << 20;
// Pieces of larger files are whole multiples of this (checksums add 4-byte groups).
constexpr uint32_t kPieceUnit = 4096;
// No file's piece is longer than this, so pause and abort are seen often.
constexpr uint32_t kLongestPiece = 8u << 20;
// The first piece of each file is short: most files that only share a size
// part in their first bytes, and are then read no further.
constexpr uint32_t kFirstPiece = 64u << 10;

// The piece each of `members` files gets of the block: whole multiples of
// kPieceUnit while they fit, else of 4 bytes (a group of very many files).
uint32_t pieceFor(std::size_t members) {
    const uint32_t share = static_cast<uint32_t>(kGroupBlockSize / members);
    if (share >= kPieceUnit) return std::min(kLongestPiece, share / kPieceUnit * kPieceUnit);
    return std::max(4u, share / 4 * 4);
}

struct Member {
    uint32_t position;
    TwinFileFacts facts;
    Checksum sum;
    bool failed = false;
};

struct Twin {
    uint32_t a, b, percent;
    TwinFileFacts factsA, factsB;
};

// Twins found but not yet listed, taken out in walk order. The heap holds
// only their order and place, so it stays small enough for the cache.
class PendingTwins {
public:
    void add(const Twin& twin) {
        uint32_t slot = static_cast<uint32_t>(twins_.size());
        if (free_.empty()) {
            twins_.push_back(twin);
        } else {
            slot = free_.back();
            free_.pop_back();
            twins_[slot] = twin;
        }
        order_.push(Place{twin.a, twin.b, slot});
    }
    // The first twin whose file A comes before `position`; false when there is none.
    bool takeBefore(uint32_t position, Twin& twin) {
        if (order_.empty() || order_.top().a >= position) return false;
        const uint32_t slot = order_.top().slot;
        order_.pop();
        twin = twins_[slot];
        free_.push_back(slot);
        return true;
    }

private:
    struct Place {
        uint32_t a, b, slot;
        bool operator>(const Place& other) const { return a != other.a ? a > other.a : b > other.b; }
    };
    std::vector<Twin> twins_;
    std::vector<uint32_t> free_;
    std::priority_queue<Place, std::vector<Place>, std::greater<Place>> order_;
};

// A class: members (indices into the group) that held the same bytes so far.
using Class = std::vector<uint32_t>;

class GroupReader {
public:
    GroupReader(AppState& state, FileIndex& index, uint8_t* block, uint32_t limit, bool sumChecksums)
        : state_(state), index_(index), block_(block), limit_(limit), sumChecksums_(sumChecksums) {}

    // Settles one group; false when an abort cut it short (nothing found is kept).
    bool settle(const std::vector<uint32_t>& positions, std::vector<Twin>& found, uint64_t& bytesDone);

private:
    bool readPiece(Member& member, uint64_t offset, uint32_t length, uint8_t* slot, bool first);
    void refine(uint32_t length, bool last);
    void dropSingles();
    void collect(std::vector<Twin>& found) const;
    bool namesOneFile(const Member& a, const Member& b) const;
    const uint8_t* slotOf(uint32_t member) const { return block_ + std::size_t{slotIndex_[member]} * piece_; }

    AppState& state_;
    FileIndex& index_;
    uint8_t* block_;
    uint32_t limit_;
    bool sumChecksums_;
    uint64_t size_ = 0;
    uint32_t piece_ = 0;
    std::vector<Member> members_;
    std::vector<uint32_t> slotIndex_;
    std::vector<Class> classes_;
    // Differing bytes so far of two classes that can still reach matchPercent.
    std::map<std::pair<uint32_t, uint32_t>, uint32_t> classPairs_;
};

// A file is read only at the size the walk listed: one whose size has changed
// since, or that delivers fewer bytes than asked, drops out of the group.
bool GroupReader::readPiece(Member& member, uint64_t offset, uint32_t length, uint8_t* slot, bool first) {
    const FileIndexEntry& entry = index_.entry(member.position);
    state_.currentFileText.write(entry.path);
    const fs::OwnedFile file = fs::openRead(entry.path);
    bool read = file && fs::fileSize(file.get()) == entry.listedSize;
    if (read && first) {
        member.facts.size = entry.listedSize;
        member.facts.lastWriteTime = fs::lastWriteTime(file.get());
        member.facts.identityKnown = fs::openFileIdentity(file.get(), member.facts.identity);
    }
    if (read && offset != 0) read = fs::seekFile(file.get(), offset);
    if (read && length != 0) read = readFromFile(state_, file.get(), slot, length) == length;
    if (read && sumChecksums_) member.sum.add(slot, length);
    return read;
}

// Splits every class by the bytes of this piece and carries the counts of the
// class pairs that can still reach matchPercent over to the new classes. After
// the last piece, two classes whose checksums differ no longer pair when the
// checksums narrow the pairs.
void GroupReader::refine(uint32_t length, bool last) {
    std::vector<Class> refined;
    std::vector<uint32_t> parentOf;
    for (uint32_t c = 0; c < classes_.size(); ++c) {
        Class& members = classes_[c];
        std::stable_sort(members.begin(), members.end(), [&](uint32_t x, uint32_t y) {
            return std::memcmp(slotOf(x), slotOf(y), length) < 0;
        });
        for (std::size_t i = 0; i < members.size(); ++i) {
            if (i == 0 || std::memcmp(slotOf(members[i - 1]), slotOf(members[i]), length) != 0) {
                refined.emplace_back();
                parentOf.push_back(c);
            }
            refined.back().push_back(members[i]);
        }
    }
    for (Class& members : refined) std::sort(members.begin(), members.end());
    std::map<std::pair<uint32_t, uint32_t>, uint32_t> pairs;
    if (limit_ != 0) {
        for (uint32_t x = 0; x < refined.size(); ++x) {
            for (uint32_t y = x + 1; y < refined.size(); ++y) {
                uint32_t before = 0;
                if (parentOf[x] != parentOf[y]) {
                    const auto kept = classPairs_.find({parentOf[x], parentOf[y]});
                    if (kept == classPairs_.end()) continue;
                    before = kept->second;
                }
                if (last && sumChecksums_ &&
                    members_[refined[x][0]].sum.value() != members_[refined[y][0]].sum.value())
                    continue;
                const uint32_t differing =
                    before + countDifferingBytes(slotOf(refined[x][0]), slotOf(refined[y][0]), length);
                if (differing <= limit_) pairs[{x, y}] = differing;
            }
        }
    }
    classes_ = std::move(refined);
    classPairs_ = std::move(pairs);
}

// A class of one file without a class it can still pair with is settled: it
// is read no further.
void GroupReader::dropSingles() {
    std::vector<uint8_t> paired(classes_.size(), 0);
    for (const auto& entry : classPairs_) paired[entry.first.first] = paired[entry.first.second] = 1;
    std::vector<uint32_t> newIndex(classes_.size(), kNoEntry);
    std::vector<Class> kept;
    for (uint32_t c = 0; c < classes_.size(); ++c) {
        if (classes_[c].size() < 2 && paired[c] == 0) continue;
        newIndex[c] = static_cast<uint32_t>(kept.size());
        kept.push_back(std::move(classes_[c]));
    }
    std::map<std::pair<uint32_t, uint32_t>, uint32_t> pairs;
    for (const auto& entry : classPairs_)
        pairs[{newIndex[entry.first.first], newIndex[entry.first.second]}] = entry.second;
    classes_ = std::move(kept);
    classPairs_ = std::move(pairs);
}

bool GroupReader::namesOneFile(const Member& a, const Member& b) const {
    return a.facts.identityKnown && b.facts.identityKnown && a.facts.identity == b.facts.identity;
}

void GroupReader::collect(std::vector<Twin>& found) const {
    auto add = [&](uint32_t x, uint32_t y, uint32_t percent) {
        const Member& a = members_[std::min(x, y)];
        const Member& b = members_[std::max(x, y)];
        if (sumChecksums_ && a.sum.value() != b.sum.value()) return;
        if (std::strcmp(index_.entry(a.position).path, index_.entry(b.position).path) == 0) return;
        if (namesOneFile(a, b)) return;
        found.push_back(Twin{a.position, b.position, percent, a.facts, b.facts});
    };
    for (const Class& members : classes_) {
        for (std::size_t i = 0; i < members.size(); ++i)
            for (std::size_t j = i + 1; j < members.size(); ++j) add(members[i], members[j], 100);
    }
    for (const auto& entry : classPairs_) {
        const uint32_t percent = similarityPercent(static_cast<uint32_t>(size_), entry.second);
        for (const uint32_t x : classes_[entry.first.first])
            for (const uint32_t y : classes_[entry.first.second]) add(x, y, percent);
    }
}

bool GroupReader::settle(const std::vector<uint32_t>& positions, std::vector<Twin>& found,
                         uint64_t& bytesDone) {
    size_ = index_.entry(positions[0]).listedSize;
    members_.assign(positions.size(), Member{});
    slotIndex_.assign(positions.size(), 0);
    classes_.assign(1, Class{});
    classPairs_.clear();
    for (uint32_t m = 0; m < positions.size(); ++m) {
        members_[m].position = positions[m];
        classes_[0].push_back(m);
    }
    const uint64_t whole = size_ * positions.size();
    piece_ = whole <= kGroupBlockSize ? static_cast<uint32_t>(size_) : pieceFor(positions.size());
    uint64_t offset = 0;
    bool first = true;
    while (!classes_.empty() && (first || offset < size_)) {
        if (!holdAtGate(state_)) return false;
        const uint32_t wanted = first ? std::min(piece_, kFirstPiece) : piece_;
        const uint32_t length = static_cast<uint32_t>(std::min<uint64_t>(wanted, size_ - offset));
        uint32_t slot = 0;
        for (Class& members : classes_) {
            for (const uint32_t m : members) slotIndex_[m] = slot++;
        }
        for (Class& members : classes_) {
            members.erase(std::remove_if(members.begin(), members.end(),
                                         [&](uint32_t m) {
                                             // After an abort nothing more is read; the group is dropped.
                                             if (state_.runControl.load() == AbortRequested) return false;
                                             Member& member = members_[m];
                                             return !readPiece(member, offset, length,
                                                               block_ + std::size_t{slotIndex_[m]} * piece_,
                                                               first);
                                         }),
                          members.end());
            if (state_.runControl.load() == AbortRequested) return false;
        }
        bytesDone += uint64_t{length} * positions.size();
        refine(length, offset + length == size_);
        dropSingles();
        offset += length;
        first = false;
    }
    collect(found);
    return true;
}

struct SizeGroup {
    std::vector<uint32_t> positions;  // in walk order
};

std::vector<SizeGroup> groupBySize(const AppState& state, const FileIndex& index) {
    std::vector<uint32_t> positions;
    for (uint32_t position = 0; position < index.count(); ++position) {
        if (mayPair(state, index.entry(position).listedSize)) positions.push_back(position);
    }
    std::stable_sort(positions.begin(), positions.end(), [&](uint32_t x, uint32_t y) {
        return index.entry(x).listedSize < index.entry(y).listedSize;
    });
    std::vector<SizeGroup> groups;
    std::size_t first = 0;
    for (std::size_t i = 1; i <= positions.size(); ++i) {
        if (i < positions.size() &&
            index.entry(positions[i]).listedSize == index.entry(positions[first]).listedSize)
            continue;
        if (i - first >= 2) groups.push_back(SizeGroup{{positions.begin() + first, positions.begin() + i}});
        first = i;
    }
    // Groups are settled in the order of their first file, so rows can be listed as groups finish.
    std::sort(groups.begin(), groups.end(),
              [](const SizeGroup& x, const SizeGroup& y) { return x.positions[0] < y.positions[0]; });
    return groups;
}

}  // namespace

uint32_t pairBySize(AppState& state, FileIndex& index, uint32_t rowCounter, bool& outOfMemory) {
    const std::vector<SizeGroup> groups = groupBySize(state, index);
    uint64_t bytesPlanned = 1;
    for (const SizeGroup& group : groups)
        bytesPlanned += index.entry(group.positions[0]).listedSize * group.positions.size();
    const OwnedBlock block = groups.empty() ? OwnedBlock() : OwnedBlock(state, kGroupBlockSize);
    const uint32_t matchPercent = listedMatchPercent(state);
    PendingTwins pending;
    auto listBefore = [&](uint32_t position) {
        // An abort stops the listing too: what is listed stays a prefix.
        Twin twin;
        while (state.runControl.load() != AbortRequested && pending.takeBefore(position, twin)) {
            listTwin(state, rowCounter++,
                     TwinRecord{index.entry(twin.a).path, index.entry(twin.b).path, twin.percent, twin.factsA,
                                twin.factsB});
        }
    };
    uint64_t bytesDone = 0;
    uint32_t lastA = kNoEntry, lastB = kNoEntry;
    for (std::size_t g = 0; g < groups.size(); ++g) {
        const std::vector<uint32_t>& positions = groups[g].positions;
        const uint32_t size = static_cast<uint32_t>(index.entry(positions[0]).listedSize);
        GroupReader reader(state, index, block.get(), maxDifferingBytesFor(size, matchPercent),
                           checksumsNarrowPairs(state));
        std::vector<Twin> found;
        if (!block || !reader.settle(positions, found, bytesDone)) break;
        for (const Twin& twin : found)
            if (twin.percent >= matchPercent) pending.add(twin);
        // The group's last pair in walk order is the last one of it the plain order of work compares.
        const uint32_t a = positions[positions.size() - 2], b = positions.back();
        if (lastA == kNoEntry || a > lastA) {
            lastA = a;
            lastB = b;
        }
        listBefore(g + 1 < groups.size() ? groups[g + 1].positions[0] : kNoEntry);
        state.progressPercent.store(
            static_cast<uint32_t>(std::min<uint64_t>(bytesDone * 100 / bytesPlanned, 99)));
    }
    outOfMemory = !block && !groups.empty();
    const bool complete = !outOfMemory && state.runControl.load() != AbortRequested;
    if (complete) state.progressPercent.store(100);
    // Every file is taken as entry A in turn, the last one last; pathB keeps the last B compared.
    if (complete) copyPathText(state.settings.pathA, index.entry(index.count() - 1).path);
    if (lastB != kNoEntry) copyPathText(state.settings.pathB, index.entry(lastB).path);
    return rowCounter;
}
