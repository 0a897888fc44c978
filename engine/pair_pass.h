// One pass over a pair of files (pathA and pathB) in pieces small enough to
// stay in the processor's cache, stopping as soon as the differing bytes
// counted rule matchPercent out (similarityPercent never rises as they grow).
#pragma once

#include <cstdint>

#include "engine/app_state.h"
#include "engine/file_hash.h"
#include "engine/file_index.h"

// The search's comparison of pathA with pathB: the exact percentage whenever
// it reaches `matchPercent`, otherwise a value below it. 0 when a file cannot
// be opened or read in full, a size is refused, the sizes differ in "Quick
// Dir", or an abort cuts the pass short. With `sumA` and `sumB` both files'
// checksums are summed in the same pass (complete only when every byte was
// read).
uint32_t comparePairInPieces(AppState& state, uint32_t matchPercent, Checksum* sumA = nullptr,
                             Checksum* sumB = nullptr);

// Two files that alone share their size, with "Hash" on: one pass compares
// them and sums both checksums, and the pair counts exactly as if the
// checksums had been taken first: its percentage when they are equal and it
// reaches `matchPercent`, else 0. A file that cannot be opened gets
// kUnreadableSize; completed checksums are kept in the entries `a` and `b`.
uint32_t compareAndSumPair(AppState& state, FileIndexEntry& a, FileIndexEntry& b, uint32_t matchPercent);
