#include "engine/compare/compare_files.h"

#include <algorithm>
#include <tuple>

#include "engine/base/fs.h"
#include "engine/compare/byte_diff.h"
#include "engine/compare/compare_pair.h"
#include "engine/compare/file_read.h"
#include "engine/compare/similarity.h"

PairOutcome openAndCheckSizes(AppState& state, OpenPair& pair, const char* pathA, const char* pathB) {
    pair.fileA = fs::openRead(pathA);
    if (pair.fileA) pair.fileB = fs::openRead(pathB);
    if (!pair.fileA || !pair.fileB) {
        state.runState = OpenFailed;
        return PairOutcome::OpenFailed;
    }
    const uint64_t sizeA = fs::fileSize(pair.fileA.get());
    const uint64_t sizeB = fs::fileSize(pair.fileB.get());
    for (auto [file, facts, size] : {std::tuple{pair.fileA.get(), &pair.factsA, sizeA},
                                     std::tuple{pair.fileB.get(), &pair.factsB, sizeB}}) {
        facts->size = size;
        facts->lastWriteTime = fs::lastWriteTime(file);
        facts->identityKnown = fs::openFileIdentity(file, facts->identity);
    }
    if (sizeA == 0 && sizeB == 0 && state.checkZeroLength != 0) {
        state.runState = ZeroBytes;
        return PairOutcome::ZeroBytes;
    }
    if (sizeA == 0 || sizeB == 0 || sizeA > UINT32_MAX || sizeB > UINT32_MAX) {
        state.runState = SizeFault;
        return PairOutcome::SizeFault;
    }
    pair.largerSize = static_cast<uint32_t>(std::max(sizeA, sizeB));
    pair.compareSize = static_cast<uint32_t>(std::min(sizeA, sizeB));
    return PairOutcome::Compared;
}

bool readChunk(AppState& state, OpenPair& pair, uint32_t length) {
    return readFromFile(state, pair.fileA.get(), state.compareBufferA, length) == length &&
           readFromFile(state, pair.fileB.get(), state.compareBufferB, length) == length;
}

ChunkEnd readAndExamineChunk(AppState& state, OpenPair& pair, uint32_t chunkLength,
                             const std::function<bool(uint32_t, uint32_t)>& examine) {
    for (uint32_t offset = 0; offset < chunkLength; offset += kPieceLength) {
        const uint32_t length = std::min(chunkLength - offset, kPieceLength);
        if (readFromFile(state, pair.fileA.get(), state.compareBufferA, length) != length ||
            readFromFile(state, pair.fileB.get(), state.compareBufferB, length) != length) {
            return ChunkEnd::ReadFailed;
        }
        holdAtGate(state, kComparisonGateTimeoutMs);
        if (!examine(offset, length)) return ChunkEnd::Stopped;
    }
    return ChunkEnd::Complete;
}

bool openPairForSearch(AppState& state, OpenPair& pair, const char* pathA, const char* pathB,
                       uint32_t& differing, uint32_t& percent) {
    state.runState = Comparing;
    percent = 0;
    const PairOutcome checked = openAndCheckSizes(state, pair, pathA, pathB);
    if (checked == PairOutcome::ZeroBytes) {
        state.runState = EndReached;
        percent = 100;
        return false;
    }
    if (checked != PairOutcome::Compared) return false;
    differing = pair.largerSize - pair.compareSize;
    return true;
}
