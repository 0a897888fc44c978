// Which indexed files may pair. "Quick Dir" pairs only files of equal size
// (and, with "Hash" on, equal checksum); "Directory" pairs any two files.
// Files that could only ever give 0 (refused sizes, empty files without
// zero-length checking) are left out: they are never listed either way.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/index/index_position.h"
#include "engine/job/search_options.h"
#include "engine/rows/twin_record.h"
#include "engine/search/pairs/copy_classes.h"

struct AppState;
class FileIndex;

// The last pair a search took up, by index position: the last entry taken as
// A and the last entry B whose bytes were compared (kNoEntry when none). The
// search keeps their paths as the saved pathA and pathB.
struct LastPair {
    uint32_t entryA = kNoEntry;
    uint32_t entryB = kNoEntry;
};

// Bytes read per piece while comparing a pair in the search: small enough to
// stay in the processor's cache.
constexpr uint32_t kSearchPiece = 1u << 18;

// Whether a file of this listed size can be part of a listed pair at all.
bool mayPair(const AppState& state, uint64_t size);

// The percentage a search lists from: 0 counts as 1, since a pair that failed
// to read gives 0 and is never listed.
uint32_t listedMatchPercent(const SearchOptions& options);

// Whether checksums narrow the pairs: "Quick Dir" with "Hash" on, below 100%.
// At 100% only byte-identical files are listed, and those always have equal
// checksums, so taking them would decide nothing.
bool checksumsNarrowPairs(const SearchOptions& options);

// Sizes alone decide a pair (of listed sizes) whose longer file has more
// bytes of its own than matchPercent allows, and any pair with exactly one
// empty file.
bool sizesRuleOut(uint64_t sizeA, uint64_t sizeB, uint32_t matchPercent);

// "Directory": the later entries each entry may pair with, in index order.
// Chained: per entry, the next later entry that may pair, kNoEntry after the
// last (every pair is visited). Listed: the partners of entry a are
// partners[partnerStart[a]] up to partners[partnerStart[a + 1]]. `grouped`
// counts the entries that have a partner. Listed pairs may come already
// compared: then `percents` holds each partner's percentage (kUndecidedPair
// for a pair still to compare) and `facts` what reading each file learnt.
constexpr uint8_t kUndecidedPair = 0xFF;
// The share of progressPercent a "Directory" route takes to find its candidate pairs.
constexpr uint32_t kCandidatesProgress = 50;
struct TwinCandidates {
    std::vector<uint32_t> nextCandidate;
    std::vector<uint32_t> partnerStart;
    std::vector<uint32_t> partners;
    std::vector<uint8_t> percents;
    std::vector<TwinFileFacts> facts;
    // Set by the block listing whenever it lists a pair: the files it found
    // to hold the same bytes as an earlier file of their size.
    CopyClasses copies;
    uint32_t grouped = 0;
    bool listed() const { return !partnerStart.empty(); }
    // Listed, with no pair among `fileCount` files: what a route lists after an abort.
    void listNone(uint32_t fileCount) {
        partnerStart.assign(std::size_t{fileCount} + 1, 0);
        partners.clear();
        percents.clear();
    }
    // Turns partnerStart[a + 1] holding entry a's count of partners into the
    // start of each entry's partners.
    void sumPartnerCounts() {
        for (std::size_t a = 1; a < partnerStart.size(); ++a) partnerStart[a] += partnerStart[a - 1];
    }
};
void findTwinCandidates(const AppState& state, const FileIndex& index, TwinCandidates& candidates);
