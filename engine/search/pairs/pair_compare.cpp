#include "engine/search/pairs/pair_compare.h"

#include "engine/compare/byte_diff.h"
#include "engine/compare/compare_pair.h"
#include "engine/compare/similarity.h"
#include "engine/search/pairs/candidates.h"

namespace {

// Reads and compares every byte both files share; false when the pass was
// cut short (abort, failed read) or the differing bytes passed `limit`.
bool readInPieces(AppState& state, OpenPair& pair, uint32_t limit, uint32_t& differing) {
    uint32_t remaining = pair.compareSize;
    while (remaining != 0) {
        if (!holdAtGate(state, kComparisonGateTimeoutMs)) return false;
        const uint32_t piece = remaining < kSearchPiece ? remaining : kSearchPiece;
        if (!readChunk(state, pair, piece)) return false;
        differing +=
            countDifferingBytesUpTo(state.compareBufferA, state.compareBufferB, piece, limit - differing);
        if (differing > limit) return false;
        remaining -= piece;
    }
    return true;
}

}  // namespace

uint32_t comparePairInPieces(AppState& state, const char* pathA, const char* pathB, uint32_t matchPercent,
                             TwinFileFacts* facts) {
    OpenPair pair;
    uint32_t differing = 0;
    uint32_t decided = 0;
    const bool toRead = openPairForSearch(state, pair, pathA, pathB, differing, decided);
    if (facts != nullptr) {
        facts[0] = pair.factsA;
        facts[1] = pair.factsB;
    }
    if (!toRead) return decided;
    const uint32_t limit = maxDifferingBytesFor(pair.largerSize, matchPercent);
    if (differing > limit || !readInPieces(state, pair, limit, differing)) return 0;
    state.runState.store(EndReached);
    return similarityPercent(pair.largerSize, differing);
}
