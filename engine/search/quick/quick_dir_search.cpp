#include "engine/search/quick/quick_dir_search.h"

#include <algorithm>
#include <cstring>
#include <list>
#include <map>
#include <queue>
#include <tuple>
#include <vector>

#include "engine/compare/byte_diff.h"
#include "engine/compare/similarity.h"
#include "engine/index/file_hash.h"
#include "engine/search/pairs/candidates.h"
#include "engine/search/pairs/plain_pass.h"
#include "engine/search/quick/piece_read_ahead.h"

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
static_assert(kFirstPiece <= kPlannedPieceBytes, "first pieces are read ahead");

// The piece each of `members` files gets of the block: whole multiples of
// kPieceUnit while they fit, else of 4 bytes (a group of very many files).
uint32_t pieceFor(std::size_t members) {
    const uint32_t share = static_cast<uint32_t>(kGroupBlockSize / members);
    if (share >= kPieceUnit) return std::min(kLongestPiece, share / kPieceUnit * kPieceUnit);
    return std::max(4u, share / 4 * 4);
}

// The piece each member of a group of files of `size` bytes gets: the whole
// file when the group fits the block.
uint32_t groupPieceFor(uint64_t size, std::size_t members) {
    return size * members <= kGroupBlockSize ? static_cast<uint32_t>(size) : pieceFor(members);
}

uint32_t firstPieceLength(uint64_t size, std::size_t members) {
    return static_cast<uint32_t>(
        std::min<uint64_t>(std::min(groupPieceFor(size, members), kFirstPiece), size));
}

struct Member {
    uint32_t position;
    const char* path;  // the index's, at hand when the member's twins are listed
    TwinFileFacts facts;
    Checksum sum;
    bool failed = false;
};

// A settled group's twins, listed file A by file A in walk order. Held as the
// group's classes and the pairs of classes whose bytes came close enough, so
// it costs memory by files, not by pairs: a thousand copies of one file are a
// thousand members, not half a million twins.
struct GroupTwins {
    std::vector<Member> members;
    // Members still in a class, in walk order; the next one to list as file A.
    std::vector<uint32_t> listed;
    std::size_t next = 0;
    std::vector<uint32_t> classOf;
    // For each place in `listed`, the next place whose member is of the same class (listed.size() for none).
    std::vector<uint32_t> nextInClass;
    // Percentages of the pairs of classes (lower class first) that reach matchPercent.
    std::map<std::pair<uint32_t, uint32_t>, uint32_t> classPercents;
    bool sumChecksums = false;

    uint32_t nextA() const { return members[listed[next]].position; }
    bool done() const { return next == listed.size(); }
    // The twins of the next file A; false when an abort cut them short.
    bool listNextA(AppState& state, uint32_t& rowCounter);
};

bool GroupTwins::listNextA(AppState& state, uint32_t& rowCounter) {
    // Without pairs of classes close enough, only members of A's own class are its twins.
    const bool ownClassOnly = classPercents.empty();
    const uint32_t x = listed[next];
    const Member& a = members[x];
    const std::size_t first = ownClassOnly ? nextInClass[next] : next + 1;
    ++next;
    for (std::size_t at = first; at < listed.size(); at = ownClassOnly ? nextInClass[at] : at + 1) {
        if (state.runControl.load() == AbortRequested) return false;
        const uint32_t y = listed[at];
        const Member& b = members[y];
        uint32_t percent = 100;
        if (classOf[x] != classOf[y]) {
            const auto found = classPercents.find(std::minmax(classOf[x], classOf[y]));
            if (found == classPercents.end()) continue;
            percent = found->second;
        }
        if (sumChecksums && a.sum.value() != b.sum.value()) continue;
        if (namesOneFile(a.path, b.path, a.facts, b.facts)) continue;
        listTwin(state, rowCounter++,
                 TwinRecord{a.path, b.path, percent, a.facts, b.facts, a.position, b.position});
    }
    return true;
}

// Settled groups whose twins are not all listed yet, taken out in walk order of file A.
class PendingTwins {
public:
    void add(GroupTwins&& twins) {
        if (twins.done()) return;
        groups_.push_front(std::move(twins));
        order_.push(Place{groups_.front().nextA(), groups_.begin()});
    }
    // Lists every twin whose file A comes before `position`; false when an abort cut the listing short.
    bool listBefore(uint32_t position, AppState& state, uint32_t& rowCounter) {
        while (!order_.empty() && order_.top().a < position) {
            const auto group = order_.top().group;
            order_.pop();
            if (!group->listNextA(state, rowCounter)) return false;
            if (group->done()) {
                groups_.erase(group);
            } else {
                order_.push(Place{group->nextA(), group});
            }
        }
        return true;
    }

private:
    struct Place {
        uint32_t a;
        std::list<GroupTwins>::iterator group;
        bool operator>(const Place& other) const { return a > other.a; }
    };
    std::list<GroupTwins> groups_;
    std::priority_queue<Place, std::vector<Place>, std::greater<Place>> order_;
};

// A class: members (indices into the group) that held the same bytes so far.
using Class = std::vector<uint32_t>;

class GroupReader {
public:
    GroupReader(AppState& state, FileIndex& index, PieceReadAhead& readAhead, uint8_t* block,
                uint32_t matchPercent, uint32_t limit, bool sumChecksums)
        : state_(state),
          index_(index),
          readAhead_(readAhead),
          block_(block),
          matchPercent_(matchPercent),
          limit_(limit),
          sumChecksums_(sumChecksums) {}

    // Settles one group; false when an abort cut it short (nothing found is kept).
    bool settle(const std::vector<uint32_t>& positions, GroupTwins& found, uint64_t& bytesDone);

private:
    bool readPiece(Member& member, uint64_t offset, uint32_t length, uint8_t* slot, bool first);
    void followOneFileNames();
    void refine(uint32_t length, bool last);
    void dropSingles();
    void collect(GroupTwins& found);
    const uint8_t* slotOf(uint32_t member) const { return block_ + std::size_t{slotIndex_[member]} * piece_; }

    AppState& state_;
    FileIndex& index_;
    PieceReadAhead& readAhead_;
    uint8_t* block_;
    uint32_t matchPercent_;
    uint32_t limit_;
    bool sumChecksums_;
    uint64_t size_ = 0;
    uint32_t piece_ = 0;
    std::vector<Member> members_;
    std::vector<uint32_t> slotIndex_;
    std::vector<Class> classes_;
    // Per member: the earlier member whose physical file it names, read in its stead; kNoEntry for none.
    std::vector<uint32_t> leaderOf_;
    // Differing bytes so far of two classes that can still reach matchPercent.
    std::map<std::pair<uint32_t, uint32_t>, uint32_t> classPairs_;
};

// A file is read only at the size the walk listed: one whose size has changed
// since, or that delivers fewer bytes than asked, drops out of the group. First
// pieces come in the order planned for the read-ahead.
bool GroupReader::readPiece(Member& member, uint64_t offset, uint32_t length, uint8_t* slot, bool first) {
    bool read = false;
    if (first) {
        read = readAhead_.takeNext(slot, member.facts);
    } else {
        state_.currentFileText.write(index_.entry(member.position).path);
        read = readFilePiece(state_, index_, member.position, offset, length, slot, nullptr);
    }
    if (read && sumChecksums_) member.sum.add(slot, length);
    return read;
}

// Two names of one physical file (a hard link, a link to a file) hold the same
// bytes: once their first piece is read, a member whose file proved to be an
// earlier member's is read no further, and joins that member's class at the
// end (a large library and the link to it are read once, not twice).
void GroupReader::followOneFileNames() {
    // Members of known identity by file, then member: the first of each file leads the others.
    std::vector<std::tuple<uint64_t, uint64_t, uint32_t>> byFile;
    for (const Class& members : classes_)
        for (const uint32_t m : members)
            if (members_[m].facts.identityKnown)
                byFile.emplace_back(members_[m].facts.identity.volume, members_[m].facts.identity.index, m);
    std::sort(byFile.begin(), byFile.end());
    for (std::size_t at = 1; at < byFile.size(); ++at) {
        const auto& [volume, index, m] = byFile[at];
        const auto& [leaderVolume, leaderIndex, leader] = byFile[at - 1];
        if (volume == leaderVolume && index == leaderIndex)
            leaderOf_[m] = leaderOf_[leader] == kNoEntry ? leader : leaderOf_[leader];
    }
    for (Class& members : classes_)
        members.erase(std::remove_if(members.begin(), members.end(),
                                     [&](uint32_t m) { return leaderOf_[m] != kNoEntry; }),
                      members.end());
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
        // Copies of one file, the usual class, stay one without a sort.
        const bool allSame =
            !members.empty() && std::all_of(members.begin() + 1, members.end(), [&](uint32_t m) {
                return std::memcmp(slotOf(members[0]), slotOf(m), length) == 0;
            });
        if (allSame) {
            refined.push_back(std::move(members));
            parentOf.push_back(c);
            continue;
        }
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

void GroupReader::collect(GroupTwins& found) {
    found.classOf.assign(members_.size(), kNoEntry);
    for (uint32_t c = 0; c < classes_.size(); ++c) {
        for (const uint32_t m : classes_[c]) {
            found.classOf[m] = c;
            found.listed.push_back(m);
        }
    }
    for (uint32_t m = 0; m < members_.size(); ++m) {
        const uint32_t leader = leaderOf_[m];
        if (leader == kNoEntry || found.classOf[leader] == kNoEntry) continue;
        found.classOf[m] = found.classOf[leader];
        found.listed.push_back(m);
        members_[m].sum = members_[leader].sum;
    }
    std::sort(found.listed.begin(), found.listed.end());
    found.nextInClass.assign(found.listed.size(), static_cast<uint32_t>(found.listed.size()));
    std::vector<uint32_t> laterOfClass(classes_.size(), static_cast<uint32_t>(found.listed.size()));
    for (uint32_t at = static_cast<uint32_t>(found.listed.size()); at-- > 0;) {
        uint32_t& later = laterOfClass[found.classOf[found.listed[at]]];
        found.nextInClass[at] = later;
        later = at;
    }
    for (const auto& entry : classPairs_) {
        const uint32_t percent = similarityPercent(static_cast<uint32_t>(size_), entry.second);
        if (percent >= matchPercent_) found.classPercents.emplace(entry.first, percent);
    }
    found.sumChecksums = sumChecksums_;
    found.members = std::move(members_);
}

bool GroupReader::settle(const std::vector<uint32_t>& positions, GroupTwins& found, uint64_t& bytesDone) {
    size_ = index_.entry(positions[0]).listedSize;
    members_.assign(positions.size(), Member{});
    slotIndex_.assign(positions.size(), 0);
    leaderOf_.assign(positions.size(), kNoEntry);
    classes_.assign(1, Class{});
    classPairs_.clear();
    for (uint32_t m = 0; m < positions.size(); ++m) {
        members_[m].position = positions[m];
        members_[m].path = index_.entry(positions[m]).path;
        classes_[0].push_back(m);
    }
    piece_ = groupPieceFor(size_, positions.size());
    uint64_t offset = 0;
    bool first = true;
    while (!classes_.empty() && (first || offset < size_)) {
        if (!holdAtGate(state_)) return false;
        const uint32_t length = first ? firstPieceLength(size_, positions.size())
                                      : static_cast<uint32_t>(std::min<uint64_t>(piece_, size_ - offset));
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
        if (first) followOneFileNames();
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
    // Each file as its size (below 4 GiB for a file that may pair) above its position: one
    // number to sort, which keeps equal sizes in walk order and reads nothing from the index.
    std::vector<uint64_t> keys;
    for (uint32_t position = 0; position < index.count(); ++position) {
        const uint64_t size = index.entry(position).listedSize;
        if (mayPair(state, size)) keys.push_back(size << 32 | position);
    }
    std::sort(keys.begin(), keys.end());
    std::vector<SizeGroup> groups;
    std::size_t first = 0;
    for (std::size_t i = 1; i <= keys.size(); ++i) {
        if (i < keys.size() && keys[i] >> 32 == keys[first] >> 32) continue;
        if (i - first >= 2) {
            SizeGroup group;
            for (std::size_t member = first; member < i; ++member)
                group.positions.push_back(static_cast<uint32_t>(keys[member]));
            groups.push_back(std::move(group));
        }
        first = i;
    }
    // Groups are settled in the order of their first file, so rows can be listed as groups finish.
    std::sort(groups.begin(), groups.end(),
              [](const SizeGroup& x, const SizeGroup& y) { return x.positions[0] < y.positions[0]; });
    return groups;
}

}  // namespace

uint32_t pairBySize(AppState& state, FileIndex& index, const SearchOptions& options, uint32_t rowCounter,
                    bool& outOfMemory, LastPair& last) {
    const std::vector<SizeGroup> groups = groupBySize(state, index);
    uint64_t bytesPlanned = 1;
    for (const SizeGroup& group : groups)
        bytesPlanned += index.entry(group.positions[0]).listedSize * group.positions.size();
    const OwnedBlock block = groups.empty() ? OwnedBlock() : OwnedBlock(state, kGroupBlockSize);
    std::vector<PlannedPiece> plan;
    if (block) {
        for (const SizeGroup& group : groups) {
            const uint64_t size = index.entry(group.positions[0]).listedSize;
            for (const uint32_t position : group.positions)
                plan.push_back(PlannedPiece{position, firstPieceLength(size, group.positions.size())});
        }
    }
    PieceReadAhead readAhead(state, index, std::move(plan));
    const uint32_t matchPercent = listedMatchPercent(options);
    PendingTwins pending;
    uint64_t bytesDone = 0;
    uint32_t lastA = kNoEntry, lastB = kNoEntry;
    for (std::size_t g = 0; g < groups.size(); ++g) {
        const std::vector<uint32_t>& positions = groups[g].positions;
        const uint32_t size = static_cast<uint32_t>(index.entry(positions[0]).listedSize);
        GroupReader reader(state, index, readAhead, block.get(), matchPercent,
                           maxDifferingBytesFor(size, matchPercent), checksumsNarrowPairs(options));
        GroupTwins found;
        if (!block || !reader.settle(positions, found, bytesDone)) break;
        pending.add(std::move(found));
        // The group's last pair in walk order is the last one of it the plain order of work compares.
        const uint32_t a = positions[positions.size() - 2], b = positions.back();
        if (lastA == kNoEntry || a > lastA) {
            lastA = a;
            lastB = b;
        }
        // An abort stops the listing too: what is listed stays a prefix.
        if (!pending.listBefore(g + 1 < groups.size() ? groups[g + 1].positions[0] : kNoEntry, state,
                                rowCounter))
            break;
        state.progressPercent.store(
            static_cast<uint32_t>(std::min<uint64_t>(bytesDone * 100 / bytesPlanned, 99)));
    }
    outOfMemory = !block && !groups.empty();
    const bool complete = !outOfMemory && state.runControl.load() != AbortRequested;
    if (complete) state.progressPercent.store(100);
    // Every file is taken as entry A in turn, the last one last; B is the last one compared.
    if (complete) last.entryA = index.count() - 1;
    if (lastB != kNoEntry) last.entryB = lastB;
    return rowCounter;
}
