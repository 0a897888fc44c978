#include "engine/search/directory/block_layout.h"

#include <algorithm>

#include "engine/compare/similarity.h"

namespace {

// Above this larger size similarityPercent scales sizes down by 1,024, so the
// limit stays the same for every size of one 1,024-byte step.
constexpr uint32_t kScaledFrom = 50001;

bool blocksHold(uint32_t largerSize, uint32_t matchPercent, uint32_t width) {
    const uint64_t needed = uint64_t{width} * (uint64_t{maxDifferingBytesFor(largerSize, matchPercent)} + 1);
    return largerSize >= needed;
}

uint32_t widestBlockFor(uint32_t largerSize, uint32_t matchPercent) {
    return largerSize / (maxDifferingBytesFor(largerSize, matchPercent) + 1);
}

// g of the header: blocks of `width` bytes identical in both files.
int64_t sharedBlocks(uint32_t smaller, uint32_t larger, uint32_t largerLimit, uint32_t width) {
    return int64_t{smaller / width} - int64_t{largerLimit} + (larger - smaller);
}

}  // namespace

uint32_t sharedBlocksNeeded(uint32_t sizeA, uint32_t sizeB, uint32_t largerLimit, uint32_t width) {
    const int64_t shared = sharedBlocks(std::min(sizeA, sizeB), std::max(sizeA, sizeB), largerLimit, width);
    return shared > 0 ? static_cast<uint32_t>(shared) : 0;
}

uint32_t fewestSharedBlocks(uint32_t size, uint32_t matchPercent, uint32_t width) {
    int64_t fewest = sharedBlocks(size, size, maxDifferingBytesFor(size, matchPercent), width);
    const uint64_t largest = std::min<uint64_t>(largerSizeBound(size, matchPercent), UINT32_MAX);
    uint64_t larger = size < kScaledFrom ? kScaledFrom : (uint64_t{size} / 1024 + 1) * 1024;
    for (; larger <= largest && fewest > 0; larger = (larger / 1024 + 1) * 1024) {
        const uint32_t partner = static_cast<uint32_t>(larger);
        // A partner whose extra bytes alone pass the limit never pairs.
        const uint32_t limit = maxDifferingBytesFor(partner, matchPercent);
        if (limit < partner - size) continue;
        fewest = std::min(fewest, sharedBlocks(size, partner, limit, width));
    }
    return fewest > 0 ? static_cast<uint32_t>(fewest) : 0;
}

uint32_t equalBytesNeeded(uint32_t largerSize, uint32_t matchPercent) {
    return largerSize - maxDifferingBytesFor(largerSize, matchPercent);
}

uint64_t largerSizeBound(uint32_t size, uint32_t matchPercent) {
    // Each scaled step leaves at most 1,023 bytes more to differ than the percentage
    // says: equalBytesNeeded(L) >= L * matchPercent / 100 - 1,023.
    const uint32_t percent = std::clamp(matchPercent, 1u, 100u);
    return (uint64_t{size} + 1023) * 100 / percent + 1;
}

uint32_t largestPartnerSize(uint32_t size, uint32_t matchPercent) {
    uint64_t larger = std::min<uint64_t>(largerSizeBound(size, matchPercent), UINT32_MAX);
    // Scaled sizes, one 1,024-byte step at a time from the largest: within a
    // step the limit is the same, so the equal bytes needed grow by one per byte.
    while (larger > size && larger >= kScaledFrom) {
        const uint64_t stepStart = std::max<uint64_t>(kScaledFrom, larger / 1024 * 1024);
        const uint64_t reaching =
            uint64_t{size} + maxDifferingBytesFor(static_cast<uint32_t>(stepStart), matchPercent);
        if (reaching >= stepStart) return static_cast<uint32_t>(std::min(larger, reaching));
        larger = stepStart - 1;
    }
    // Below, the equal bytes needed never fall as the larger size grows.
    uint64_t reaching = size;
    while (reaching < larger) {
        const uint64_t middle = reaching + (larger - reaching + 1) / 2;
        if (equalBytesNeeded(static_cast<uint32_t>(middle), matchPercent) <= size) {
            reaching = middle;
        } else {
            larger = middle - 1;
        }
    }
    return static_cast<uint32_t>(std::max<uint64_t>(reaching, size));
}

bool onlyEqualSizesPair(uint32_t size, uint32_t matchPercent) {
    // Below the scaled sizes the equal bytes needed never fall as the larger size grows.
    if (largerSizeBound(size, matchPercent) < kScaledFrom)
        return equalBytesNeeded(size + 1, matchPercent) > size;
    return largestPartnerSize(size, matchPercent) == size;
}

BlockLayout blockLayoutFor(uint32_t matchPercent, uint32_t largestSize) {
    BlockLayout layout;
    uint32_t width = UINT32_MAX;
    const uint32_t unscaledEnd = std::min(largestSize, kScaledFrom - 1);
    const uint32_t from = std::min(largestSize, 1024u);
    for (uint32_t size = std::max(from, 1u); size <= unscaledEnd; ++size)
        width = std::min(width, widestBlockFor(size, matchPercent));
    // Scaled sizes: the limit is one per 1,024-byte step, so the step's smallest size decides.
    for (uint64_t size = kScaledFrom; size <= largestSize; size = (size / 1024 + 1) * 1024)
        width = std::min(width, widestBlockFor(static_cast<uint32_t>(size), matchPercent));
    if (width == UINT32_MAX || width < kNarrowestBlock) return layout;
    layout.width = width;
    layout.largestSize = largestSize;
    layout.smallestSize = std::max(from, 1u);
    while (layout.smallestSize > 1 && blocksHold(layout.smallestSize - 1, matchPercent, width))
        --layout.smallestSize;
    return layout;
}

uint32_t listingBlockWidth(uint32_t layoutWidth, uint32_t matchPercent) {
    if (matchPercent >= 100) return layoutWidth;
    // About seven tenths of each file's blocks are its rarest: narrower blocks cost more to count than they
    // save.
    return std::clamp(70 / (100 - matchPercent), 1u, layoutWidth);
}
