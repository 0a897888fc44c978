// Pairing: every candidate pair once, entries A in index order and each with
// the later files of its group in index order; a pair that reaches
// matchPercent becomes a twin row.
#pragma once

#include <cstdint>

#include "engine/app_state.h"
#include "engine/file_index.h"
#include "engine/twin_candidates.h"

// Lists the twins from row `rowCounter` on and returns the row after the
// last. Holds at the pause gate before each entry A and each pair; an abort
// ends pairing before the next pair is read. Sets progressPercent per entry A.
uint32_t pairEntries(AppState& state, FileIndex& index, const TwinCandidates& candidates,
                     uint32_t rowCounter);
