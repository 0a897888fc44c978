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

// Percentage of equal bytes, 0..100, counted against the larger size
// (`largerSize` >= 1, `differingBytes` <= `largerSize`). Above 50,000 bytes
// both are scaled down by 1,024. Only a pair without any differing byte gets 100.
uint32_t similarityPercent(uint32_t largerSize, uint32_t differingBytes);

// The largest differingBytes for which similarityPercent(largerSize, ...)
// still reaches `matchPercent` (above 100 taken as 100). A pair whose size
// difference alone exceeds it can be skipped without reading.
uint32_t maxDifferingBytesFor(uint32_t largerSize, uint32_t matchPercent);

// Reads up to `count` bytes through the state's read hook or from the file;
// returns the bytes delivered, -1 on a failed read.
int64_t readFromFile(AppState& state, fs::File* file, void* buffer, uint32_t count);
