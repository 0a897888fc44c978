// Two files that alone share their size, with "Hash" on: a single pass reads
// both, counts their differing bytes and sums both checksums. The pair then
// counts exactly as if the checksums had been taken first: listed only when
// they are equal and the percentage reaches matchPercent.
#pragma once

#include <cstdint>

#include "engine/app_state.h"
#include "engine/file_index.h"

// Reads the files of pathA and pathB (the entries `a` and `b`). Returns the
// pair's percentage when its checksums are equal and it reaches
// `matchPercent`, else 0. Reading stops as soon as the differing bytes rule
// the threshold out, on an abort, and on a failed or short read. A file that
// cannot be opened gets kUnreadableSize; completed checksums are kept.
uint32_t compareAndSumPair(AppState& state, FileIndexEntry& a, FileIndexEntry& b, uint32_t matchPercent);
