// The matching of the block listing (engine/search/directory/block_listing.h):
// the sets of pairs it keeps, and the tables in which one block offset's values
// of the files of a step meet, so that files holding the same value there pair.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "engine/index/index_position.h"
#include "engine/search/directory/block_counts.h"

namespace block_matching {

// Pairs found, each kept once.
class PairSet {
public:
    // Whether the pair is new.
    bool insert(uint64_t key) {
        if ((count_ + 1) * 2 > slots_.size()) grow();
        std::size_t slot = spot(key);
        if (slots_[slot] == key) return false;
        slots_[slot] = key;
        ++count_;
        return true;
    }
    void clear() {
        slots_.assign(1024, kEmpty);
        count_ = 0;
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

struct ColumnEntry {
    uint32_t value;
    uint32_t first;  // the latest home file holding the value
    uint32_t generation;
    uint32_t group;
};

// The sets of files found holding one block, in one step: a set met
// again at another offset (as the files of one zero padding or one
// template are) holds no pair not looked at already, nor does a file
// probing it again. Sets are told apart exactly, by their members.
class MetGroups {
public:
    // The set's number; `fresh` when it is met for the first time.
    uint32_t numberOf(const std::vector<uint32_t>& members, bool& fresh) {
        uint64_t signature = members.size();
        for (const uint32_t member : members) signature = (signature ^ member) * 0x100000001B3ull;
        const auto [first, last] = bySignature_.equal_range(signature);
        for (auto it = first; it != last; ++it) {
            const uint32_t group = it->second;
            if (starts_[group + 1] - starts_[group] == members.size() &&
                std::equal(members.begin(), members.end(), pool_.begin() + starts_[group])) {
                fresh = false;
                return group;
            }
        }
        fresh = true;
        const uint32_t group = static_cast<uint32_t>(starts_.size() - 1);
        pool_.insert(pool_.end(), members.begin(), members.end());
        starts_.push_back(static_cast<uint32_t>(pool_.size()));
        bySignature_.emplace(signature, group);
        return group;
    }
    // Whether `file` probed the set before; from now on it has.
    std::vector<uint32_t> membersOf(uint32_t group) const {
        return std::vector<uint32_t>(pool_.begin() + starts_[group], pool_.begin() + starts_[group + 1]);
    }
    bool probedBefore(uint32_t group, uint32_t file) {
        const std::size_t before = probed_.size();
        probed_.insert(uint64_t{group} << 32 | file);
        return probed_.size() == before;
    }

private:
    std::unordered_multimap<uint64_t, uint32_t> bySignature_;
    std::vector<uint32_t> starts_ = {0};
    std::vector<uint32_t> pool_;
    PairSet probed_;
};

// One small table for the values of one block offset, reused from offset to offset.
class ColumnTable {
public:
    explicit ColumnTable(uint32_t files) {
        std::size_t capacity = 16;
        while (capacity < std::size_t{files} * 2) capacity *= 2;
        slots_.assign(capacity, ColumnEntry{0, kNoEntry, 0, kNoEntry});
    }
    void nextColumn() { ++generation_; }
    // The place of `value` at this offset; a new one starts with `first` kNoEntry.
    std::size_t placeOf(uint32_t value) {
        const std::size_t mask = slots_.size() - 1;
        std::size_t at = (value * 0x9E3779B1u) & mask;
        while (slots_[at].generation == generation_ && slots_[at].value != value) at = (at + 1) & mask;
        if (slots_[at].generation != generation_)
            slots_[at] = ColumnEntry{value, kNoEntry, generation_, kNoEntry};
        return at;
    }
    ColumnEntry& slotOf(uint32_t value) { return slots_[placeOf(value)]; }
    ColumnEntry& slotAt(std::size_t place) { return slots_[place]; }
    // Whether `value` occurs at this offset, without adding it.
    const ColumnEntry* find(uint32_t value) const {
        const std::size_t mask = slots_.size() - 1;
        std::size_t at = (value * 0x9E3779B1u) & mask;
        while (slots_[at].generation == generation_) {
            if (slots_[at].value == value) return &slots_[at];
            at = (at + 1) & mask;
        }
        return nullptr;
    }

private:
    std::vector<ColumnEntry> slots_;
    uint32_t generation_ = 0;
};

// The matching of one step, offset by offset: the table of one offset's
// values, per home file the next home file holding the same value there and
// the latest set whose pairs were all looked at, and the sets met. Files are
// named by their place in the step; the home files come first, up to `probe`.
class RangeMatch {
public:
    RangeMatch(uint32_t files, uint32_t probe)
        : probe_(probe), table_(files), nextSame_(probe, kNoEntry), walkedWithin_(probe, kNoEntry) {}

    // Matches the rare blocks of one offset: `found` is called with each pair
    // of files holding one value there, the earlier file first when both are home files.
    template <typename Found>
    void matchColumn(const std::vector<RareBlock>& rare, Found&& found) {
        table_.nextColumn();
        const std::size_t probesFrom = placeHomeBlocks(rare);
        matchWithinHome(found);
        probeLaterFiles(rare, probesFrom, found);
    }

private:
    // The home files' rare blocks go into the table, each value's holders
    // chained; returns where the later files' blocks start in `rare`.
    std::size_t placeHomeBlocks(const std::vector<RareBlock>& rare) {
        places_.clear();
        std::size_t entry = 0;
        for (; entry < rare.size() && rare[entry].file < probe_; ++entry) {
            const uint32_t file = rare[entry].file;
            const std::size_t place = table_.placeOf(rare[entry].value);
            ColumnEntry& slot = table_.slotAt(place);
            if (slot.first == kNoEntry) places_.push_back(place);
            nextSame_[file] = slot.first;
            slot.first = file;
        }
        return entry;
    }

    // The pairs among the home files holding one value at this offset, each set of them once.
    template <typename Found>
    void matchWithinHome(Found& found) {
        for (const std::size_t place : places_) {
            ColumnEntry& slot = table_.slotAt(place);
            std::vector<uint32_t>& members = members_;
            members.clear();
            for (uint32_t same = slot.first; same != kNoEntry; same = nextSame_[same])
                members.push_back(same);
            // A file alone holding the block is no set: its pairs are few.
            if (members.size() < 2) continue;
            // Every member walked within one earlier set: its pairs were
            // all looked at there, and a probe walks that set instead.
            const uint32_t walkedIn = walkedWithin_[members.front()];
            if (walkedIn != kNoEntry && std::all_of(members.begin(), members.end(), [&](uint32_t member) {
                    return walkedWithin_[member] == walkedIn;
                })) {
                slot.group = walkedIn;
                continue;
            }
            bool fresh = false;
            slot.group = groups_.numberOf(members, fresh);
            if (!fresh) continue;
            for (const uint32_t member : members) walkedWithin_[member] = slot.group;
            for (std::size_t later = 0; later < members.size(); ++later)
                for (std::size_t earlier = later + 1; earlier < members.size(); ++earlier)
                    found(members[earlier], members[later]);
        }
    }

    // Each later file's rare blocks of this offset against the home files holding the same value.
    template <typename Found>
    void probeLaterFiles(const std::vector<RareBlock>& rare, std::size_t entry, Found& found) {
        for (; entry < rare.size(); ++entry) {
            const uint32_t file = rare[entry].file;
            const ColumnEntry* slot = table_.find(rare[entry].value);
            if (slot == nullptr) continue;
            if (slot->group == kNoEntry) {
                for (uint32_t same = slot->first; same != kNoEntry; same = nextSame_[same]) found(same, file);
            } else if (!groups_.probedBefore(slot->group, file)) {
                for (const uint32_t member : groups_.membersOf(slot->group)) found(member, file);
            }
        }
    }

    const uint32_t probe_;
    ColumnTable table_;
    std::vector<uint32_t> nextSame_;
    std::vector<uint32_t> walkedWithin_;
    std::vector<std::size_t> places_;
    std::vector<uint32_t> members_;
    MetGroups groups_;
};

}  // namespace block_matching
