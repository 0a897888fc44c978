// The index spaces of the block listing (engine/search/directory/block_listing.h),
// kept apart by type so that one cannot stand for another: a file's Position
// in the folder index, its Slot among the files that may pair (by size), and
// its Rank among the files matched by their blocks (by size). The routes that
// read files one by one in order of size (engine/search/pairs/size_order.h)
// name a file's place in that order its ReadRank.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/index/index_position.h"

template <typename Space>
struct ListingIndex {
    uint32_t value = kNoEntry;

    constexpr ListingIndex() = default;
    constexpr explicit ListingIndex(uint32_t at) : value(at) {}
    ListingIndex& operator++() {
        ++value;
        return *this;
    }
    // The index that names no entry.
    static constexpr ListingIndex none() { return ListingIndex(kNoEntry); }
    bool isNone() const { return value == kNoEntry; }
    ListingIndex operator+(uint32_t step) const { return ListingIndex(value + step); }
    ListingIndex operator-(uint32_t step) const { return ListingIndex(value - step); }
    // How many places `earlier` lies before this one.
    uint32_t operator-(ListingIndex earlier) const { return value - earlier.value; }
    bool operator==(ListingIndex other) const { return value == other.value; }
    bool operator!=(ListingIndex other) const { return value != other.value; }
    bool operator<(ListingIndex other) const { return value < other.value; }
    bool operator<=(ListingIndex other) const { return value <= other.value; }
    bool operator>=(ListingIndex other) const { return value >= other.value; }
};

using Position = ListingIndex<struct PositionSpace>;
using Slot = ListingIndex<struct SlotSpace>;
using Rank = ListingIndex<struct RankSpace>;
using ReadRank = ListingIndex<struct ReadRankSpace>;

// One key per pair of files of one index space, either way round.
template <typename Index>
uint64_t pairKey(Index a, Index b) {
    return a < b ? (uint64_t{a.value} << 32 | b.value) : (uint64_t{b.value} << 32 | a.value);
}

// Entries looked up by one index space only.
template <typename Index, typename Entry>
class ByIndex {
public:
    Entry& operator[](Index at) { return entries_[at.value]; }
    const Entry& operator[](Index at) const { return entries_[at.value]; }
    void assign(std::size_t count, const Entry& entry) { entries_.assign(count, entry); }
    void push_back(const Entry& entry) { entries_.push_back(entry); }
    void swap(ByIndex& other) { entries_.swap(other.entries_); }
    std::size_t size() const { return entries_.size(); }
    // The index past the last entry.
    Index end() const { return Index(static_cast<uint32_t>(entries_.size())); }
    const std::vector<Entry>& entries() const { return entries_; }
    std::vector<Entry>& entries() { return entries_; }

private:
    std::vector<Entry> entries_;
};
