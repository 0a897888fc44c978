#include "engine/compare/compare_files.h"

#include <algorithm>
#include <tuple>

#include "engine/base/fs.h"
#include "engine/compare/byte_diff.h"
#include "engine/compare/compare_pair.h"

namespace {

// Above this larger size the percentage is computed on sizes divided by 1,024.
constexpr uint32_t kSimilarityScalingSize = 50000;

}  // namespace

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

int64_t readFromFile(AppState& state, fs::File* file, void* buffer, uint32_t count) {
    if (state.readBlock) return state.readBlock(file, buffer, count);
    return fs::readFile(file, buffer, count);
}

bool readChunk(AppState& state, OpenPair& pair, uint32_t length) {
    return readFromFile(state, pair.fileA.get(), state.compareBufferA, length) == length &&
           readFromFile(state, pair.fileB.get(), state.compareBufferB, length) == length;
}

ChunkEnd readAndExamineChunk(AppState& state, OpenPair& pair, uint32_t chunkLength,
                             const std::function<bool(uint32_t, uint32_t)>& examine) {
    for (uint32_t offset = 0; offset < chunkLength; offset += kPieceLength) {
        const uint32_t length = std::min(chunkLength - offset, kPieceLength);
        if (readFromFile(state, pair.fileA.get(), state.compareBufferA + offset, length) != length ||
            readFromFile(state, pair.fileB.get(), state.compareBufferB + offset, length) != length) {
            return ChunkEnd::ReadFailed;
        }
        holdAtGate(state, kComparisonGateTimeoutMs);
        if (!examine(offset, length)) return ChunkEnd::Stopped;
    }
    return ChunkEnd::Complete;
}

uint32_t similarityPercent(uint32_t largerSize, uint32_t differingBytes) {
    uint32_t larger = largerSize;
    uint32_t differing = differingBytes;
    if (largerSize > kSimilarityScalingSize) {
        larger >>= 10;
        differing >>= 10;
    }
    const uint32_t percent = (larger - differing) * 100 / larger;
    return percent == 100 && differingBytes != 0 ? 99 : percent;
}

uint32_t maxDifferingBytesFor(uint32_t largerSize, uint32_t matchPercent) {
    // similarityPercent never rises as differingBytes grows: search for the last count that reaches.
    const uint32_t wanted = std::min(matchPercent, 100u);
    uint32_t reaching = 0;
    uint32_t missing = largerSize;
    if (largerSize == 0 || similarityPercent(largerSize, largerSize) >= wanted) return largerSize;
    while (missing - reaching > 1) {
        const uint32_t middle = reaching + (missing - reaching) / 2;
        if (similarityPercent(largerSize, middle) >= wanted) {
            reaching = middle;
        } else {
            missing = middle;
        }
    }
    return reaching;
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
