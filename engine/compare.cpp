#include "engine/compare.h"

#include <algorithm>
#include <tuple>

#include "engine/byte_diff.h"
#include "engine/compare_pair.h"
#include "engine/fs.h"

namespace {

constexpr uint32_t kGateTimeoutMs = 1000000;
// Above this larger size the percentage is computed on sizes divided by 1,024.
constexpr uint32_t kSimilarityScalingSize = 50000;

// How the chunk loop of the directory modes ended.
enum class CountEnd { Complete, RuledOut, Aborted, ReadFailed };

// The chunk loop of the directory modes, adding every differing byte to
// `differingBytes`. Stops as soon as the count passes `limit`.
CountEnd countPairDifferences(AppState& state, OpenPair& pair, uint32_t limit, uint32_t& differingBytes) {
    const uint8_t* a = state.compareBufferA;
    const uint8_t* b = state.compareBufferB;
    auto countPiece = [&](uint32_t offset, uint32_t length) {
        differingBytes += countDifferingBytes(a + offset, b + offset, length);
        return differingBytes <= limit;
    };
    state.bytesRemaining = pair.compareSize;
    while (state.bytesRemaining != 0) {
        const uint32_t chunkLength = std::min(state.bytesRemaining, kChunkLength);
        const ChunkEnd chunkEnd = readAndExamineChunk(state, pair, chunkLength, countPiece);
        if (chunkEnd == ChunkEnd::ReadFailed) return CountEnd::ReadFailed;
        if (chunkEnd == ChunkEnd::Stopped) return CountEnd::RuledOut;
        state.bytesRemaining -= chunkLength;
        // An abort sets runState; it is looked at only between chunks.
        if (state.runState != Comparing) return CountEnd::Aborted;
    }
    holdWhilePaused(state);  // the end-of-data step
    return CountEnd::Complete;
}

}  // namespace

PairOutcome openAndCheckSizes(AppState& state, OpenPair& pair) {
    pair.fileA = fs::openRead(state.settings.pathA);
    if (pair.fileA != nullptr) pair.fileB = fs::openRead(state.settings.pathB);
    if (pair.fileA == nullptr || pair.fileB == nullptr) {
        state.runState = OpenFailed;
        return PairOutcome::OpenFailed;
    }
    const uint64_t sizeA = fs::fileSize(pair.fileA);
    const uint64_t sizeB = fs::fileSize(pair.fileB);
    for (auto [file, facts, size] :
         {std::tuple{pair.fileA, &pair.factsA, sizeA}, std::tuple{pair.fileB, &pair.factsB, sizeB}}) {
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
    return readFromFile(state, pair.fileA, state.compareBufferA, length) == length &&
           readFromFile(state, pair.fileB, state.compareBufferB, length) == length;
}

ChunkEnd readAndExamineChunk(AppState& state, OpenPair& pair, uint32_t chunkLength,
                             const std::function<bool(uint32_t, uint32_t)>& examine) {
    for (uint32_t offset = 0; offset < chunkLength; offset += kPieceLength) {
        const uint32_t length = std::min(chunkLength - offset, kPieceLength);
        if (readFromFile(state, pair.fileA, state.compareBufferA + offset, length) != length ||
            readFromFile(state, pair.fileB, state.compareBufferB + offset, length) != length) {
            return ChunkEnd::ReadFailed;
        }
        holdWhilePaused(state);
        if (!examine(offset, length)) return ChunkEnd::Stopped;
    }
    return ChunkEnd::Complete;
}

void holdWhilePaused(AppState& state) {
    if (!state.pauseGate.isOpen()) state.pauseGate.waitGate(kGateTimeoutMs);
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

bool openPairForSearch(AppState& state, OpenPair& pair, uint32_t& differing, uint32_t& percent) {
    state.runState = Comparing;
    percent = 0;
    const PairOutcome checked = openAndCheckSizes(state, pair);
    if (checked == PairOutcome::ZeroBytes) {
        state.runState = EndReached;
        percent = 100;
        return false;
    }
    if (checked != PairOutcome::Compared) return false;
    differing = pair.largerSize - pair.compareSize;
    // Unequal sizes in "Quick Dir": nothing is read and runState stays Comparing.
    return state.settings.searchMode != QuickDirMode || differing == 0;
}

uint32_t comparePairForSearch(AppState& state, uint32_t matchPercent) {
    OpenPair pair;
    uint32_t differingBytes = 0;
    uint32_t decided = 0;
    if (!openPairForSearch(state, pair, differingBytes, decided)) return decided;

    const uint32_t limit = maxDifferingBytesFor(pair.largerSize, matchPercent);
    const CountEnd end = differingBytes > limit ? CountEnd::RuledOut
                                                : countPairDifferences(state, pair, limit, differingBytes);
    // A byte never read is never counted as equal: a short read or an abort gives 0.
    if (end == CountEnd::Aborted) return 0;
    state.runState = EndReached;
    if (end == CountEnd::ReadFailed) return 0;
    return similarityPercent(pair.largerSize, differingBytes);
}

uint32_t compareFiles(AppState& state) {
    if (state.settings.searchMode == FileMode) {
        writeFileReport(state);
        return 0;
    }
    return comparePairForSearch(state, 0);
}
