#include "engine/pair_pass.h"

#include "engine/byte_diff.h"
#include "engine/compare.h"
#include "engine/compare_pair.h"
#include "engine/twin_candidates.h"

namespace {

// Reads and compares every byte both files share; false when the pass was
// cut short (abort, failed read) or the differing bytes passed `limit`.
bool readInPieces(AppState& state, OpenPair& pair, uint32_t limit, uint32_t& differing, Checksum* sumA,
                  Checksum* sumB) {
    uint32_t remaining = pair.compareSize;
    while (remaining != 0) {
        holdWhilePaused(state);
        if (state.runControl.load() == AbortRequested) return false;
        const uint32_t piece = remaining < kSearchPiece ? remaining : kSearchPiece;
        if (!readChunk(state, pair, piece)) return false;
        if (sumA != nullptr) {
            sumA->add(state.compareBufferA, piece);
            sumB->add(state.compareBufferB, piece);
        }
        differing += countDifferingBytes(state.compareBufferA, state.compareBufferB, piece);
        if (differing > limit) return false;
        remaining -= piece;
    }
    return true;
}

}  // namespace

uint32_t comparePairInPieces(AppState& state, uint32_t matchPercent, Checksum* sumA, Checksum* sumB) {
    OpenPair pair;
    uint32_t differing = 0;
    uint32_t decided = 0;
    if (!openPairForSearch(state, pair, differing, decided)) return decided;
    const uint32_t limit = maxDifferingBytesFor(pair.largerSize, matchPercent);
    if (differing > limit || !readInPieces(state, pair, limit, differing, sumA, sumB)) return 0;
    state.runState.store(EndReached);
    return similarityPercent(pair.largerSize, differing);
}

uint32_t compareAndSumPair(AppState& state, FileIndexEntry& a, FileIndexEntry& b, uint32_t matchPercent) {
    Checksum sumA, sumB;
    const uint32_t percent = comparePairInPieces(state, matchPercent, &sumA, &sumB);
    if (state.runState.load() == OpenFailed) {
        // Only the first file that failed is known: the second is not tried.
        fs::File* file = fs::openRead(a.path);
        (file == nullptr ? a : b).size = kUnreadableSize;
        fs::closeFile(file);
    }
    if (state.runState.load() != EndReached || percent < matchPercent) return 0;
    a.hash = sumA.value();
    b.hash = sumB.value();
    return a.hash == b.hash ? percent : 0;
}
