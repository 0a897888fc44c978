// Steps shared by both roles of the comparison: opening the pair, checking
// its sizes, reading chunks and holding while paused.
#pragma once

#include <cstdint>

#include "engine/app_state.h"
#include "engine/fs.h"

// What became of a pair before or while its bytes were compared.
enum class PairOutcome { Compared, OpenFailed, SizeFault, ZeroBytes, ReadFailed };

// Both files of a pair, closed when it goes out of scope.
struct OpenPair {
    fs::File* fileA = nullptr;
    fs::File* fileB = nullptr;
    uint32_t largerSize = 0;
    uint32_t compareSize = 0;

    OpenPair() = default;
    OpenPair(const OpenPair&) = delete;
    OpenPair& operator=(const OpenPair&) = delete;
    ~OpenPair() {
        fs::closeFile(fileA);
        fs::closeFile(fileB);
    }
};

// Opens pathA, then pathB, and checks the sizes in order: two empty files with
// zero-length checking on, then any size of 4 GiB or more or any empty file.
// Sets runState to OpenFailed, ZeroBytes or SizeFault for those outcomes.
PairOutcome openAndCheckSizes(AppState& state, OpenPair& pair);

// Reads the next `length` bytes of each file into compareBufferA/B; false
// unless both reads delivered every byte.
bool readChunk(AppState& state, OpenPair& pair, uint32_t length);

// Bytes examined between two looks at the pause gate.
constexpr uint32_t kPauseGrain = 64 * 1024;

// Waits at the closed pause gate (one time-out at most); free when open.
void holdWhilePaused(AppState& state);

// The File-mode role of compareFiles: the worker that writes the report rows.
void writeFileReport(AppState& state);
