#include "engine/shared_pass.h"

#include "engine/byte_diff.h"
#include "engine/compare.h"
#include "engine/compare_pair.h"
#include "engine/file_hash.h"
#include "engine/twin_candidates.h"

namespace {

// Compares and sums every byte of both files; false when the pass was cut
// short (abort, failed read) or the differing bytes ruled the pair out.
bool readBoth(AppState& state, OpenPair& pair, uint32_t maxDiffering, Checksum& sumA, Checksum& sumB,
              uint32_t& differing) {
    uint32_t remaining = pair.compareSize;
    while (remaining != 0) {
        holdWhilePaused(state);
        if (state.runControl.load() == AbortRequested) return false;
        const uint32_t piece = remaining < kSearchPiece ? remaining : kSearchPiece;
        if (!readChunk(state, pair, piece)) return false;
        sumA.add(state.compareBufferA, piece);
        sumB.add(state.compareBufferB, piece);
        differing += countDifferingBytes(state.compareBufferA, state.compareBufferB, piece);
        if (differing > maxDiffering) return false;
        remaining -= piece;
    }
    return true;
}

}  // namespace

uint32_t compareAndSumPair(AppState& state, FileIndexEntry& a, FileIndexEntry& b, uint32_t matchPercent) {
    state.runState.store(Comparing);
    OpenPair pair;
    const PairOutcome outcome = openAndCheckSizes(state, pair);
    if (outcome == PairOutcome::OpenFailed) (pair.fileA == nullptr ? a : b).size = kUnreadableSize;
    if (outcome != PairOutcome::Compared || pair.largerSize != pair.compareSize) return 0;

    Checksum sumA, sumB;
    uint32_t differing = 0;
    if (!readBoth(state, pair, maxDifferingBytesFor(pair.largerSize, matchPercent), sumA, sumB, differing)) {
        return 0;
    }
    state.runState.store(EndReached);
    a.hash = sumA.value();
    b.hash = sumB.value();
    if (a.hash != b.hash) return 0;
    const uint32_t percent = similarityPercent(pair.largerSize, differing);
    return percent >= matchPercent ? percent : 0;
}
