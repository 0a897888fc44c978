// Which indexed files may pair. "Quick Dir" pairs only files of equal size
// (and, with "Hash" on, equal checksum); "Directory" pairs any two files.
// Files that could only ever give 0 (refused sizes, empty files without
// zero-length checking) are left out: they are never listed either way.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/app_state.h"
#include "engine/file_index.h"

constexpr uint32_t kNoEntry = 0xFFFFFFFFu;

// Bytes read per piece while summing or comparing in the search: small
// enough to stay in the processor's cache.
constexpr uint32_t kSearchPiece = 1u << 18;

struct TwinCandidates {
    // Per entry, the next later entry of its group, kNoEntry after the last.
    std::vector<uint32_t> nextCandidate;
    // Set on the first of two files that alone share a size while "Hash" is
    // on: one pass reads both, compares them and sums both checksums.
    std::vector<uint8_t> sharedPass;
    // Entries that belong to a group of two or more.
    uint32_t grouped = 0;
};

// Whether checksums narrow the pairs: "Quick Dir" with "Hash" on, below 100%.
// At 100% only byte-identical files are listed, and those always have equal
// checksums, so taking them would decide nothing.
bool checksumsNarrowPairs(const AppState& state);

// Groups the `indexCount` entries. In "Quick Dir" with "Hash" on, the files of
// every size that three or more files share are summed here, once each, in
// index order; one that cannot be opened gets kUnreadableSize. Returns false
// when an abort stopped the summing.
bool findTwinCandidates(AppState& state, FileIndex& index, TwinCandidates& candidates);
