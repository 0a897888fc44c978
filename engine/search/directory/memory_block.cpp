#include "engine/search/directory/memory_block.h"

#include <algorithm>

std::size_t blockBytesFor(const FileIndex& index, const std::vector<uint32_t>& order, std::size_t most,
                          uint32_t share) {
    uint64_t held = 0, largest = 0;
    for (const uint32_t position : order) {
        const uint64_t size = index.entry(position).listedSize;
        if (size > most / share) continue;
        held += alignedHeldEnd(static_cast<std::size_t>(size));
        largest = std::max(largest, size);
    }
    return static_cast<std::size_t>(std::min<uint64_t>(
        most, std::max({held + kHeldAlignment, share * largest, uint64_t{kFirstRingBytes}})));
}
