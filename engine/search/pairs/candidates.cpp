#include "engine/search/pairs/candidates.h"

#include "engine/compare/similarity.h"
#include "engine/index/file_index.h"
#include "engine/job/app_state.h"

bool mayPair(const AppState& state, uint64_t size) {
    if (size > 0xFFFFFFFFu) return false;  // the comparison refuses 4 GiB and more
    return size != 0 || state.checkZeroLength.load() != 0;
}

uint32_t listedMatchPercent(const SearchOptions& options) {
    return options.matchPercent == 0 ? 1 : options.matchPercent;
}

bool checksumsNarrowPairs(const SearchOptions& options) {
    return options.mode == QuickDirMode && options.useHash && options.matchPercent < 100;
}

void findTwinCandidates(const AppState& state, const FileIndex& index, TwinCandidates& candidates) {
    const uint32_t count = index.count();
    candidates.nextCandidate.assign(count, kNoEntry);
    candidates.grouped = 0;
    uint32_t previous = kNoEntry;
    for (uint32_t position = 0; position < count; ++position) {
        if (!mayPair(state, index.entry(position).listedSize)) continue;
        if (previous != kNoEntry) candidates.nextCandidate[previous] = position;
        previous = position;
        ++candidates.grouped;
    }
    if (candidates.grouped < 2) candidates.grouped = 0;
}

bool sizesRuleOut(uint64_t sizeA, uint64_t sizeB, uint32_t matchPercent) {
    const uint32_t larger = static_cast<uint32_t>(sizeA > sizeB ? sizeA : sizeB);
    const uint32_t smaller = static_cast<uint32_t>(sizeA > sizeB ? sizeB : sizeA);
    if (larger == 0) return false;
    if (smaller == 0) return true;
    return similarityPercent(larger, larger - smaller) < matchPercent;
}
