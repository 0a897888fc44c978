// "Directory" pairing: every candidate pair once, entries A in index order and
// each with the later candidates in index order; a pair that reaches
// matchPercent becomes a twin row.
#pragma once

#include <cstdint>

#include "engine/index/file_index.h"
#include "engine/job/app_state.h"
#include "engine/rows/twin_record.h"
#include "engine/search/pairs/candidates.h"

// Lists the twins from row `rowCounter` on and returns the row after the
// last. Holds at the pause gate before each entry A and each pair; an abort
// ends pairing before the next pair is read. Sets progressPercent per entry
// A, rising from `progressFrom` to 100. Keeps the last pair taken up in `last`.
uint32_t pairEntries(AppState& state, FileIndex& index, const SearchOptions& options,
                     const TwinCandidates& candidates, uint32_t rowCounter, LastPair& last,
                     uint32_t progressFrom = 0);

// Writes one twin row at `row` and counts it: the one way the search lists a pair.
void listTwin(AppState& state, uint32_t row, const TwinRecord& twin);
