// Files of the index in order of listed size, ties in walk order: the order in
// which the "Directory" routes read them, so that each file is read before
// every larger file it may pair with.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "engine/index/file_index.h"
#include "engine/index/index_position.h"

// Fills `order` with the positions `keep` admits, by listed size, then
// position, and `rankOf` with each position's place in it (Rank(kNoEntry) for
// a file left out). `Rank` is made from the place as a uint32_t.
template <typename Keep, typename Rank>
void orderBySize(const FileIndex& index, Keep keep, std::vector<uint32_t>& order, std::vector<Rank>& rankOf) {
    const uint32_t count = index.count();
    for (uint32_t position = 0; position < count; ++position)
        if (keep(position)) order.push_back(position);
    const auto sizeOf = [&](uint32_t position) {
        return static_cast<uint32_t>(index.entry(position).listedSize);
    };
    std::stable_sort(order.begin(), order.end(),
                     [&](uint32_t x, uint32_t y) { return sizeOf(x) < sizeOf(y); });
    rankOf.assign(count, Rank(kNoEntry));
    for (uint32_t rank = 0; rank < order.size(); ++rank) rankOf[order[rank]] = Rank(rank);
}
