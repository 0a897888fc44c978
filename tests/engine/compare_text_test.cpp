#include <gtest/gtest.h>

#include <random>
#include <string>

#include "engine/compare.h"

namespace {

std::string byteValue(uint8_t byte) {
    char buffer[600];
    formatByteValue(byte, buffer);
    return buffer;
}

std::string quoted(const std::string& bytes, uint32_t count) {
    char buffer[600];
    quoteBytes(reinterpret_cast<const uint8_t*>(bytes.data()), count, buffer);
    return buffer;
}

}  // namespace

TEST(RunTexts, UnsignedDecimalCoversTheWholeRange) {
    char buffer[600];
    formatUnsigned(0, buffer);
    EXPECT_STREQ(buffer, "0");
    formatUnsigned(100, buffer);
    EXPECT_STREQ(buffer, "100");
    formatUnsigned(4294967295u, buffer);
    EXPECT_STREQ(buffer, "4294967295");
}

TEST(RunTexts, SingleByteShowsControlBytesInHexAndOthersQuoted) {
    EXPECT_EQ(byteValue(0), "00h");
    EXPECT_EQ(byteValue(10), "0Ah");
    EXPECT_EQ(byteValue(31), "1Fh");
    EXPECT_EQ(byteValue(' '), "\" \"");
    EXPECT_EQ(byteValue('"'), "\"\"\"");
    EXPECT_EQ(byteValue(200), std::string("\"") + static_cast<char>(200) + "\"");
}

TEST(RunTexts, QuotedBytesKeepControlBytesAndStopAtTheFirstZero) {
    EXPECT_EQ(quoted("ab\ncd", 5), "\"ab\ncd\"");
    EXPECT_EQ(quoted(std::string("ab\0cd", 5), 5), "\"ab\"");
    EXPECT_EQ(quoted(std::string("\0bc", 3), 3), "\"\"");
    EXPECT_EQ(quoted("abcdefghijklmnopqrstuvwxyz", 20), "\"abcdefghijklmnopqrst\"");
}

TEST(SimilarityPercent, CountsAgainstTheLargerSizeAndScalesAbove50000Bytes) {
    EXPECT_EQ(similarityPercent(5, 1), 80u);
    EXPECT_EQ(similarityPercent(3, 1), 66u);
    EXPECT_EQ(similarityPercent(1000, 0), 100u);
    EXPECT_EQ(similarityPercent(51200, 1024), 98u);
    EXPECT_EQ(similarityPercent(50001, 1024), 97u);
    EXPECT_EQ(similarityPercent(1, 1), 0u);
    EXPECT_EQ(similarityPercent(4294967295u, 4294967295u), 0u);
    EXPECT_EQ(similarityPercent(4294967295u, 0), 100u);
}

TEST(SimilarityPercent, AnyDifferingByteCapsTheResultAt99) {
    EXPECT_EQ(similarityPercent(50000, 1), 99u);
    EXPECT_EQ(similarityPercent(100000, 1), 99u);  // scaled: no difference left, still capped
    EXPECT_EQ(similarityPercent(4294967295u, 1), 99u);
}

TEST(SimilarityPercent, MaxDifferingBytesIsTheLastCountThatReachesTheThreshold) {
    EXPECT_EQ(maxDifferingBytesFor(1000, 100), 0u);
    EXPECT_EQ(maxDifferingBytesFor(5, 80), 1u);
    EXPECT_EQ(maxDifferingBytesFor(5, 0), 5u);
    EXPECT_EQ(maxDifferingBytesFor(5, 250), 0u);  // above 100 counts as 100
    std::mt19937 random(7);
    for (int trial = 0; trial < 3000; ++trial) {
        const uint32_t larger = trial % 3 == 0 ? 1 + random() % 60000 : 1 + random() % 0xFFFFFFFEu;
        const uint32_t match = random() % 101;
        const uint32_t most = maxDifferingBytesFor(larger, match);
        ASSERT_LE(most, larger);
        ASSERT_GE(similarityPercent(larger, most), match) << larger << " " << match;
        if (most < larger) {
            ASSERT_LT(similarityPercent(larger, most + 1), match) << larger << " " << match;
        }
    }
}
