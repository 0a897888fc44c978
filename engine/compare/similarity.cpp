#include "engine/compare/similarity.h"

#include <algorithm>

namespace {

// Above this larger size the percentage is computed on sizes divided by 1,024.
constexpr uint32_t kSimilarityScalingSize = 50000;

}  // namespace

uint32_t similarityPercent(uint32_t largerSize, uint32_t differingBytes) {
    uint32_t larger = largerSize;
    uint32_t differing = differingBytes;
    if (largerSize > kSimilarityScalingSize) {
        larger >>= 10;
        differing >>= 10;
    }
    const uint32_t percent = (larger - differing) * 100 / larger;
    return percent == 100 && differingBytes != 0 ? 99 : percent;
}

uint32_t maxDifferingBytesFor(uint32_t largerSize, uint32_t matchPercent) {
    // similarityPercent never rises as differingBytes grows: search for the last count that reaches.
    const uint32_t wanted = std::min(matchPercent, 100u);
    uint32_t reaching = 0;
    uint32_t missing = largerSize;
    if (largerSize == 0 || similarityPercent(largerSize, largerSize) >= wanted) return largerSize;
    while (missing - reaching > 1) {
        const uint32_t middle = reaching + (missing - reaching) / 2;
        if (similarityPercent(largerSize, middle) >= wanted) {
            reaching = middle;
        } else {
            missing = middle;
        }
    }
    return reaching;
}
