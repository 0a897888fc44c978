#include "engine/twin_candidates.h"

#include <algorithm>

#include "engine/file_hash.h"
#include "engine/run_state.h"

namespace {

struct SizeBucket {
    std::size_t first;  // range in the size-sorted positions
    std::size_t end;
    bool summed;
};

bool mayPair(const AppState& state, uint64_t size) {
    if (size > 0xFFFFFFFFu) return false;  // the comparison refuses 4 GiB and more
    return size != 0 || state.checkZeroLength.load() != 0;
}

void chain(const uint32_t* members, std::size_t count, TwinCandidates& candidates) {
    if (count >= 2) candidates.grouped += static_cast<uint32_t>(count);
    for (std::size_t i = 0; i + 1 < count; ++i) candidates.nextCandidate[members[i]] = members[i + 1];
}

// Sums one file into its entry; false when it cannot be opened.
bool sumFile(AppState& state, FileIndexEntry& entry) {
    copyPathText(state.currentFileText, entry.path);
    fs::File* file = fs::openRead(entry.path);
    if (file == nullptr) {
        entry.size = kUnreadableSize;
        return false;
    }
    entry.hash = hashOpenFile(file, state.compareBufferA, kSearchPiece, &state.runControl);
    fs::closeFile(file);
    return true;
}

// Within a summed size bucket, chains the readable files of equal checksum.
void chainByChecksum(const FileIndex& index, const uint32_t* members, std::size_t count,
                     TwinCandidates& candidates) {
    std::vector<uint32_t> readable;
    for (std::size_t i = 0; i < count; ++i) {
        if (index.entries[members[i]].size != kUnreadableSize) readable.push_back(members[i]);
    }
    std::sort(readable.begin(), readable.end(), [&](uint32_t x, uint32_t y) {
        const uint32_t hx = index.entries[x].hash, hy = index.entries[y].hash;
        return hx != hy ? hx < hy : x < y;
    });
    std::size_t first = 0;
    for (std::size_t i = 1; i <= readable.size(); ++i) {
        if (i == readable.size() || index.entries[readable[i]].hash != index.entries[readable[first]].hash) {
            chain(readable.data() + first, i - first, candidates);
            first = i;
        }
    }
}

std::vector<SizeBucket> bucketBySize(const AppState& state, const FileIndex& index, uint32_t count,
                                     std::vector<uint32_t>& positions) {
    for (uint32_t position = 0; position < count; ++position) {
        if (mayPair(state, index.listedSizes[position])) positions.push_back(position);
    }
    std::sort(positions.begin(), positions.end(), [&](uint32_t x, uint32_t y) {
        const uint64_t sx = index.listedSizes[x], sy = index.listedSizes[y];
        return sx != sy ? sx < sy : x < y;
    });
    std::vector<SizeBucket> buckets;
    std::size_t first = 0;
    for (std::size_t i = 1; i <= positions.size(); ++i) {
        if (i < positions.size() && index.listedSizes[positions[i]] == index.listedSizes[positions[first]])
            continue;
        if (i - first >= 2) buckets.push_back(SizeBucket{first, i, false});
        first = i;
    }
    return buckets;
}

bool groupQuickDir(AppState& state, FileIndex& index, uint32_t count, TwinCandidates& candidates) {
    std::vector<uint32_t> positions;
    std::vector<SizeBucket> buckets = bucketBySize(state, index, count, positions);
    const bool useHash = checksumsNarrowPairs(state);
    std::vector<uint8_t> toSum(count, 0);
    for (SizeBucket& bucket : buckets) {
        const std::size_t members = bucket.end - bucket.first;
        const bool empty = index.listedSizes[positions[bucket.first]] == 0;
        if (!useHash) {
            chain(positions.data() + bucket.first, members, candidates);
        } else if (members == 2 && !empty) {
            chain(positions.data() + bucket.first, members, candidates);
            candidates.sharedPass[positions[bucket.first]] = 1;
        } else {
            bucket.summed = true;
            for (std::size_t i = bucket.first; i < bucket.end; ++i) toSum[positions[i]] = 1;
        }
    }
    for (uint32_t position = 0; position < count; ++position) {
        if (state.runControl.load() == AbortRequested) return false;
        if (toSum[position]) sumFile(state, index.entries[position]);
    }
    if (state.runControl.load() == AbortRequested) return false;
    for (const SizeBucket& bucket : buckets) {
        if (bucket.summed)
            chainByChecksum(index, positions.data() + bucket.first, bucket.end - bucket.first, candidates);
    }
    return true;
}

void groupDirectory(const AppState& state, const FileIndex& index, uint32_t count,
                    TwinCandidates& candidates) {
    std::vector<uint32_t> positions;
    for (uint32_t position = 0; position < count; ++position) {
        if (mayPair(state, index.listedSizes[position])) positions.push_back(position);
    }
    chain(positions.data(), positions.size(), candidates);
}

}  // namespace

bool checksumsNarrowPairs(const AppState& state) {
    return state.settings.searchMode == QuickDirMode && state.settings.useHash != 0 &&
           state.settings.matchPercent < 100;
}

bool findTwinCandidates(AppState& state, FileIndex& index, TwinCandidates& candidates) {
    const uint32_t count = state.indexCount.load();
    candidates.nextCandidate.assign(count, kNoEntry);
    candidates.sharedPass.assign(count, 0);
    candidates.grouped = 0;
    if (state.settings.searchMode == QuickDirMode) return groupQuickDir(state, index, count, candidates);
    groupDirectory(state, index, count, candidates);
    return true;
}
