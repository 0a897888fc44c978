// The search's comparison: one pass over a pair of files in pieces small enough to
// stay in the processor's cache, stopping as soon as the differing bytes
// counted rule matchPercent out (similarityPercent never rises as they grow).
#pragma once

#include <cstdint>

#include "engine/job/app_state.h"
#include "engine/rows/twin_record.h"

// Compares the file at `pathA` with the one at `pathB`: the exact percentage whenever
// it reaches `matchPercent`, otherwise a value below it. 0 when a file cannot
// be opened or read in full, a size is refused, or an abort cuts the pass
// short. With `facts` (two records), what the opening learnt of file A and
// file B. runState ends as EndReached after a complete pass, OpenFailed,
// SizeFault, or Comparing (a pass cut short).
uint32_t comparePairInPieces(AppState& state, const char* pathA, const char* pathB, uint32_t matchPercent,
                             TwinFileFacts* facts = nullptr);
