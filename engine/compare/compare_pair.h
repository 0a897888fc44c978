// Steps shared by both roles of the comparison (and by the search's own
// pair passes): opening the pair, checking its sizes, reading chunks and
// holding while paused.
#pragma once

#include <cstdint>
#include <functional>

#include "engine/base/fs.h"
#include "engine/job/app_state.h"
#include "engine/job/job_outcome.h"
#include "engine/rows/twin_record.h"

// Both files of a pair, closed when it goes out of scope.
struct OpenPair {
    fs::OwnedFile fileA;
    fs::OwnedFile fileB;
    uint32_t largerSize = 0;
    uint32_t compareSize = 0;
    // What the opening learnt of each file (its size as compared among them).
    TwinFileFacts factsA;
    TwinFileFacts factsB;

    OpenPair() = default;
    OpenPair(const OpenPair&) = delete;
    OpenPair& operator=(const OpenPair&) = delete;
};

// Opens pathA, then pathB, and checks the sizes in order: two empty files with
// zero-length checking on, then any size of 4 GiB or more or any empty file.
// Sets runState to OpenFailed, ZeroBytes or SizeFault for those outcomes.
PairOutcome openAndCheckSizes(AppState& state, OpenPair& pair, const char* pathA, const char* pathB);

// The opening of the search's comparison: sets runState to Comparing,
// opens the pair and settles what the sizes alone decide. Returns true when
// the bytes must be read, with `differing` at the size difference; otherwise
// `percent` is the result (100 for two empty files with zero-length checking
// on, 0 for a refused pair).
bool openPairForSearch(AppState& state, OpenPair& pair, const char* pathA, const char* pathB,
                       uint32_t& differing, uint32_t& percent);

// Reads the next `length` bytes of each file into the start of
// compareBufferA/B; false unless both reads delivered every byte.
bool readChunk(AppState& state, OpenPair& pair, uint32_t length);

// A comparison held at a closed pause gate goes on by one piece after this long.
constexpr uint32_t kComparisonGateTimeoutMs = 1000000;

// Bytes read and examined at a time: a piece is compared while it is still in
// the cache, and the pause gate is looked at between pieces.
constexpr uint32_t kPieceLength = 64 * 1024;

// How the examination of one chunk ended.
enum class ChunkEnd { Complete, Stopped, ReadFailed };

// Reads the next `chunkLength` bytes of both files piece by piece, each piece
// into the start of compareBufferA/B so that it is examined while still in
// the cache, and hands it to `examine(offset, length)` (`offset`: where the
// piece starts in the chunk; the piece before is overwritten). Before a piece is examined
// a closed pause gate holds the worker (one time-out at most). `examine`
// returns false to stop early. ReadFailed when a read delivered fewer bytes
// than asked for: no unread byte is ever examined.
ChunkEnd readAndExamineChunk(AppState& state, OpenPair& pair, uint32_t chunkLength,
                             const std::function<bool(uint32_t, uint32_t)>& examine);
