#include <gtest/gtest.h>

#include <vector>

#include "tests/engine/search_fixture.h"

namespace {

std::vector<uint8_t> patterned(std::size_t size, uint32_t seed) {
    std::vector<uint8_t> bytes(size);
    uint32_t value = seed;
    for (uint8_t& byte : bytes) {
        value = value * 1103515245u + 12345u;
        byte = static_cast<uint8_t>(value >> 16);
    }
    return bytes;
}

std::vector<uint8_t> changedAt(std::vector<uint8_t> bytes, std::size_t offset) {
    bytes[offset] ^= 0x5A;
    return bytes;
}

// Rows of a search over `folder`, twins only.
std::vector<ResultRow> twinsFound(const TestFolder& folder, const SearchSetup& options) {
    SearchState search(options);
    auto rows = search.search(folder.root().string());
    if (rows.size() < 2 || rows.front()[0] != "Start") return {};
    return std::vector<ResultRow>(rows.begin() + 1, rows.end() - 1);
}

}  // namespace

TEST(SearchFilters, DirectoryComparesFilesOfDifferentSizesQuickDirNever) {
    TestFolder folder;
    const std::string a = joined(folder.root().string(), "a");
    const std::string b = joined(folder.root().string(), "b");
    folder.write("a", "abcdefghij");
    folder.write("b", "abcdefghijkl");
    EXPECT_EQ(twinsFound(folder, {DirectoryMode, false, 80, false}),
              (std::vector<ResultRow>{twinRow(a, b, "83")}));
    EXPECT_TRUE(twinsFound(folder, {DirectoryMode, false, 84, false}).empty());
    EXPECT_TRUE(twinsFound(folder, {QuickDirMode, false, 50, false}).empty());
}

// A search goes by the options it was started with, whatever the saved settings say.
TEST(SearchFilters, FollowsItsOptionsNotTheSavedSettings) {
    TestFolder folder;
    const std::string root = folder.root().string();
    folder.write("a", "abcdefghij");
    folder.write("b", "abcdefghijkl");
    SearchState directory({DirectoryMode, false, 80, false});
    directory.state.settings.searchMode = QuickDirMode;
    directory.state.settings.useHash = 1;
    directory.state.settings.matchPercent = 100;
    EXPECT_EQ(directory.search(root).size(), 3u);
    SearchState quick({QuickDirMode, true, 100, false});
    quick.state.settings.searchMode = DirectoryMode;
    quick.state.settings.matchPercent = 50;
    EXPECT_EQ(quick.search(root).size(), 2u);
}

TEST(SearchFilters, HashKeepsEqualSizeFilesWithDifferentChecksumsApart) {
    // Two files alone at their size (read in one pass) and three sharing one
    // (summed first): one byte differs, in the low half of a word.
    for (int members : {2, 3}) {
        TestFolder folder;
        const auto base = patterned(1000, 1);
        folder.write("a", base);
        folder.write("b", changedAt(base, 400));
        if (members == 3) folder.write("c", patterned(1000, 2));
        const std::string a = joined(folder.root().string(), "a");
        const std::string b = joined(folder.root().string(), "b");
        EXPECT_TRUE(twinsFound(folder, {QuickDirMode, true, 95, false}).empty()) << members;
        EXPECT_EQ(twinsFound(folder, {QuickDirMode, false, 95, false}),
                  (std::vector<ResultRow>{twinRow(a, b, "99")}))
            << members;
    }
}

TEST(SearchFilters, EqualChecksumsStillNeedEveryByteToReachTheThreshold) {
    for (int members : {2, 3}) {
        TestFolder folder;
        const auto base = patterned(1000, 3);
        folder.write("a", base);
        folder.write("b", changedAt(base, 402));  // the upper half of a word: same checksum
        if (members == 3) folder.write("c", patterned(1000, 4));
        const std::string a = joined(folder.root().string(), "a");
        const std::string b = joined(folder.root().string(), "b");
        EXPECT_EQ(twinsFound(folder, {QuickDirMode, true, 95, false}),
                  (std::vector<ResultRow>{twinRow(a, b, "99")}))
            << members;
        EXPECT_TRUE(twinsFound(folder, {QuickDirMode, true, 100, false}).empty()) << members;
    }
}

TEST(SearchFilters, AOnePassPairIsComparedAcrossItsReadPieces) {
    TestFolder folder;
    const auto base = patterned(1100000, 5);
    folder.write("a", base);
    folder.write("b", changedAt(base, 1050002));
    folder.write("c", patterned(1100001, 6));
    folder.write("d", changedAt(patterned(1100001, 6), 1090000));
    const std::string root = folder.root().string();
    EXPECT_EQ(twinsFound(folder, {QuickDirMode, true, 99, false}),
              (std::vector<ResultRow>{twinRow(joined(root, "a"), joined(root, "b"), "99")}));
}

TEST(SearchFilters, EmptyFilesPairOnlyWithZeroLengthChecking) {
    TestFolder folder;
    folder.write("e1", "");
    folder.write("e2", "");
    folder.write("full", "x");
    const std::string root = folder.root().string();
    for (const SearchMode mode : {QuickDirMode, DirectoryMode}) {
        EXPECT_TRUE(twinsFound(folder, {mode, true, 95, false}).empty());
        EXPECT_EQ(twinsFound(folder, {mode, true, 95, true}),
                  (std::vector<ResultRow>{twinRow(joined(root, "e1"), joined(root, "e2"), "100")}));
    }
}

TEST(SearchFilters, FullMatchListsOnlyPairsWithoutADifferingByte) {
    TestFolder folder;
    const auto base = patterned(60000, 7);
    folder.write("a", base);
    folder.write("b", base);
    folder.write("c", changedAt(base, 30000));
    const std::string root = folder.root().string();
    const std::vector<ResultRow> identical{twinRow(joined(root, "a"), joined(root, "b"), "100")};
    EXPECT_EQ(twinsFound(folder, {QuickDirMode, false, 100, false}), identical);
    EXPECT_EQ(twinsFound(folder, {DirectoryMode, false, 100, false}), identical);
    EXPECT_EQ(twinsFound(folder, {QuickDirMode, false, 99, false}).size(), 3u);
}
