#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>

#include "engine/base/byte_text.h"
#include "engine/base/code_page.h"
#include "engine/compare/similarity.h"
#include "engine/rows/run_record.h"

namespace {

std::string byteValue(uint8_t byte) {
    char buffer[600];
    formatByteValue(byte, buffer);
    return buffer;
}

std::string utf8Of(uint32_t character) {
    if (character < 0x80) return std::string(1, static_cast<char>(character));
    if (character < 0x800)
        return {static_cast<char>(0xC0 | (character >> 6)), static_cast<char>(0x80 | (character & 0x3F))};
    return {static_cast<char>(0xE0 | (character >> 12)), static_cast<char>(0x80 | ((character >> 6) & 0x3F)),
            static_cast<char>(0x80 | (character & 0x3F))};
}

bool validUtf8(const std::string& text) {
    for (size_t at = 0; at < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[at]);
        const size_t width = lead < 0x80                    ? 1
                             : lead >= 0xC2 && lead <= 0xDF ? 2
                             : lead >= 0xE0 && lead <= 0xEF ? 3
                                                            : 0;
        if (width == 0 || at + width > text.size()) return false;
        for (size_t i = 1; i < width; ++i) {
            if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) return false;
        }
        at += width;
    }
    return true;
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

TEST(RunTexts, SingleByteShowsBytesWithoutAGlyphInHexAndOthersQuoted) {
    EXPECT_EQ(byteValue(0), "00h");
    EXPECT_EQ(byteValue(10), "0Ah");
    EXPECT_EQ(byteValue(31), "1Fh");
    EXPECT_EQ(byteValue(127), "7Fh");
    EXPECT_EQ(byteValue(' '), "\" \"");
    EXPECT_EQ(byteValue('"'), "\"\\\"\"");
    EXPECT_EQ(byteValue('\\'), "\"\\\\\"");
}

// Where texts are UTF-8 a lone byte of 128 or more is no character: it shows as
// the character it is in the legacy code page, so no two bytes look alike.
TEST(RunTexts, EveryByteValueShowsAsATextOfItsOwn) {
    std::set<std::string> shown;
    std::set<std::string> shownRuns;
    for (int byte = 0; byte < 256; ++byte) {
        const std::string text = byteValue(static_cast<uint8_t>(byte));
        EXPECT_TRUE(shown.insert(text).second) << byte << " looks like another byte: " << text;
        if (textsAreUtf8()) {
            EXPECT_TRUE(validUtf8(text)) << byte;
        }
        const std::string run = quoted(std::string(2, static_cast<char>(byte)), 2);
        EXPECT_TRUE(shownRuns.insert(run).second) << byte << " looks like another byte in a run: " << run;
        if (textsAreUtf8()) {
            EXPECT_TRUE(validUtf8(run)) << byte;
        }
    }
    if (!textsAreUtf8()) return;
    EXPECT_EQ(byteValue(0xE9), "\"" + utf8Of(legacyCharacterOf(0xE9)) + "\"");
    EXPECT_EQ(quoted("\x80\xFF", 2),
              "\"" + utf8Of(legacyCharacterOf(0x80)) + utf8Of(legacyCharacterOf(0xFF)) + "\"");
    EXPECT_EQ(windows1252CharacterOf(0x80), 0x20ACu);
    EXPECT_EQ(windows1252CharacterOf(0xE9), 0xE9u);
    EXPECT_EQ(byteValue(0x81), legacyCharacterOf(0x81) == 0x81 ? "81h" : byteValue(0x81))
        << "a byte with no printable character shows in hex";
}

// A byte without a glyph would show as an empty box and a quote as the end
// of the quote: each has a visible stand-in.
TEST(RunTexts, QuotedBytesShowStandInsForBytesWithoutAGlyphQuotesAndBackslashes) {
    EXPECT_EQ(quoted("ab\ncd", 5), "\"ab\\x0Acd\"");
    EXPECT_EQ(quoted(std::string("ab\0cd", 5), 5), "\"ab\\x00cd\"");
    EXPECT_EQ(quoted("a\x7F\x81\x8D", 4), "\"a\\x7F\\x81\\x8D\"");
    EXPECT_EQ(quoted("a\"b\\c", 5), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(quoted("abcdefghijklmnopqrstuvwxyz", 20), "\"abcdefghijklmnopqrst\"");
    char longest[quotedTextSize(kQuotedBytesMax)];
    quoteBytes(reinterpret_cast<const uint8_t*>(std::string(20, '\x01').data()), 20, longest);
    EXPECT_EQ(std::string(longest).size() + 1, sizeof(longest));
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
