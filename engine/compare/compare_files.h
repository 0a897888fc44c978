// Byte-by-byte comparison of two files.
#pragma once

#include <cstdint>

#include "engine/base/byte_text.h"
#include "engine/job/app_state.h"
#include "engine/job/job_outcome.h"

// Bytes read from each file per pass; a run of differing bytes never spans two.
constexpr uint32_t kChunkLength = 10000000;
// Size of each read buffer the search provides for the directory modes.
constexpr uint32_t kSearchBufferSize = 10000050;

// The worker of a "File" comparison of the file at `pathA` with the one at
// `pathB`. It writes the report rows through state.results and ends with
// runState Idle, runControl Running and the pause gate open. The search
// compares its pairs with comparePairInPieces (pair_compare.h).
CompareOutcome compareFiles(AppState& state, const char* pathA, const char* pathB);
