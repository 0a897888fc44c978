// The block compares give exactly what a plain byte loop gives.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "engine/compare/byte_diff.h"
#include "engine/compare/compare_pair.h"
#include "tests/engine/compare_fixture.h"
#include "tests/engine/compare_reference.h"
#include "tests/engine/compare_test_files.h"

namespace {

enum class Pattern { Equal, Sparse, Dense, Blocks };

// Two contents of the given sizes: `b` is `a` with differences of the pattern.
void makePair(std::mt19937& random, uint32_t sizeA, uint32_t sizeB, Pattern pattern, std::vector<uint8_t>& a,
              std::vector<uint8_t>& b) {
    a.resize(sizeA);
    for (uint8_t& byte : a) byte = static_cast<uint8_t>(random());
    b.assign(a.begin(), a.begin() + std::min(sizeA, sizeB));
    b.resize(sizeB, 0x5A);
    const uint32_t size = std::min(sizeA, sizeB);
    if (size == 0) return;
    switch (pattern) {
        case Pattern::Equal: break;
        case Pattern::Sparse:
            for (uint32_t count = random() % 8; count > 0; --count) b[random() % size] ^= 1 + random() % 255;
            break;
        case Pattern::Dense:
            for (uint32_t index = 0; index < size; ++index) {
                if (random() % 3 != 0)
                    b[index] = static_cast<uint8_t>(random());  // some stay equal by chance
            }
            break;
        case Pattern::Blocks:
            for (uint32_t count = 1 + random() % 4; count > 0; --count) {
                const uint32_t start = random() % size;
                const uint32_t length = std::min(size - start, 1 + static_cast<uint32_t>(random() % 300));
                for (uint32_t index = start; index < start + length; ++index)
                    b[index] = static_cast<uint8_t>(~a[index]);
            }
            break;
    }
}

uint32_t plainCount(const uint8_t* a, const uint8_t* b, uint32_t length) {
    uint32_t count = 0;
    for (uint32_t index = 0; index < length; ++index) count += a[index] != b[index];
    return count;
}

// Runs both roles on files holding `a` and `b` and checks them against the byte loop.
void expectSameAsReference(const TestFolder& folder, const std::vector<uint8_t>& a,
                           const std::vector<uint8_t>& b) {
    const std::string pathA = folder.write("a.bin", a);
    const std::string pathB = folder.write("b.bin", b);
    const ReferenceResult expected = referenceComparison(a, b);
    ComparisonState report(pathA, pathB);
    ASSERT_EQ(report.fileReport(), expected.rows);
    ComparisonState search(pathA, pathB, DirectoryMode);
    ASSERT_EQ(search.searchPercent(), expected.percent);
    for (const uint32_t match : {50u, 90u, 99u, 100u}) {
        const uint32_t percent = search.searchPercent(match);
        if (expected.percent >= match) {
            ASSERT_EQ(percent, expected.percent);
        } else {
            ASSERT_LT(percent, match);
        }
    }
}

}  // namespace

TEST(BlockCompare, CountsAndFindsLikeAByteLoopAtAnyOffsetAndLength) {
    std::mt19937 random(11);
    std::vector<uint8_t> a, b;
    for (int trial = 0; trial < 1500; ++trial) {
        const uint32_t size = 1 + random() % 20000;
        makePair(random, size, size, static_cast<Pattern>(trial % 4), a, b);
        const uint32_t from = random() % size;
        const uint32_t end = from + random() % (size - from + 1);
        const uint32_t differing = plainCount(a.data() + from, b.data() + from, end - from);
        ASSERT_EQ(countDifferingBytes(a.data() + from, b.data() + from, end - from), differing);
        // Counts that may stop once past a limit, each way this processor has:
        // exact up to it, above it after it.
        const uint32_t limit = random() % (differing + 2);
        for (const CountMethod& method : countMethods()) {
            const uint32_t counted = method.count(a.data() + from, b.data() + from, end - from, limit);
            if (differing <= limit) {
                ASSERT_EQ(counted, differing) << method.name;
            } else {
                ASSERT_GT(counted, limit) << method.name;
            }
        }
        uint32_t different = from;
        while (different < end && a[different] == b[different]) ++different;
        ASSERT_EQ(findDifferentByte(a.data(), b.data(), from, end), different);
        uint32_t equal = from;
        while (equal < end && a[equal] != b[equal]) ++equal;
        ASSERT_EQ(findEqualByte(a.data(), b.data(), from, end), equal);
    }
}

TEST(BlockCompare, SmallPairsGiveTheReferenceRowsAndPercentages) {
    TestFolder folder;
    std::mt19937 random(23);
    std::vector<uint8_t> a, b;
    for (int trial = 0; trial < 120; ++trial) {
        const uint32_t sizeA = 1 + random() % 5000;
        const uint32_t sizeB = trial % 3 == 0 ? 1 + random() % 5000 : sizeA;
        makePair(random, sizeA, sizeB, static_cast<Pattern>(trial % 4), a, b);
        SCOPED_TRACE(trial);
        expectSameAsReference(folder, a, b);
    }
}

TEST(BlockCompare, PairsAcrossTheChunkBoundaryGiveTheReferenceRows) {
    TestFolder folder;
    std::mt19937 random(31);
    std::vector<uint8_t> a, b;
    const uint32_t chunk = kChunkLength;
    // Differences crowded around the end of the first chunk and the end of the data.
    const uint32_t sizes[][2] = {
        {chunk + 5000, chunk + 5000}, {2 * chunk, 2 * chunk + 17}, {chunk + 3, chunk - 2}};
    for (const auto& size : sizes) {
        makePair(random, size[0], size[1], Pattern::Equal, a, b);
        const uint32_t common = std::min(size[0], size[1]);
        for (uint32_t index = chunk - 40; index < chunk + 2 && index < common; ++index) {
            if (random() % 3 != 0) b[index] = static_cast<uint8_t>(~a[index]);
        }
        for (uint32_t index = common - 30; index < common; ++index) {
            if (random() % 2 != 0) b[index] = static_cast<uint8_t>(~a[index]);
        }
        b[common - 1] = static_cast<uint8_t>(~a[common - 1]);  // a run still open at the end of the data
        // Runs across the pieces a chunk is read in: scattered around the first
        // boundary, and one whose quoted bytes start in one piece and end in the next.
        for (uint32_t index = kPieceLength - 25; index < kPieceLength + 25; ++index) {
            if (random() % 4 != 0) b[index] = static_cast<uint8_t>(~a[index]);
        }
        for (uint32_t index = 2 * kPieceLength - 7; index < 2 * kPieceLength + 30; ++index) {
            b[index] = static_cast<uint8_t>(~a[index]);
        }
        SCOPED_TRACE(size[0]);
        expectSameAsReference(folder, a, b);
    }
}

TEST(BlockCompare, RunsThatFillAChunkReadDifferent) {
    TestFolder folder;
    std::mt19937 random(37);
    std::vector<uint8_t> a, b;
    // Second chunk of 9,999,999 bytes wholly different: closed by the end-of-data step.
    makePair(random, 2 * kChunkLength - 1, 2 * kChunkLength - 1, Pattern::Equal, a, b);
    for (uint32_t index = kChunkLength; index < a.size(); ++index) b[index] = static_cast<uint8_t>(~a[index]);
    b[3] = static_cast<uint8_t>(~a[3]);
    expectSameAsReference(folder, a, b);
    // First chunk different from its second byte on: length 9,999,999, not "Different".
    for (uint32_t index = 1; index < kChunkLength; ++index) b[index] = static_cast<uint8_t>(~a[index]);
    b[kChunkLength] = a[kChunkLength];
    expectSameAsReference(folder, a, b);
}
