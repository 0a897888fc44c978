// The search's comparison of a pair: a percentage, no rows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/compare/compare_pair.h"
#include "engine/search/pairs/candidates.h"
#include "tests/engine/compare_fixture.h"
#include "tests/engine/compare_test_files.h"

TEST(PairPercentage, MeasuresEqualBytesAgainstTheLargerFileWithoutRows) {
    TestFolder folder;
    const std::string same1 = folder.write("s1", "hello world");
    const std::string same2 = folder.write("s2", "hello world");
    ComparisonState identical(same1, same2, DirectoryMode);
    identical.state.progressPercent = 7;
    EXPECT_EQ(identical.searchPercent(), 100u);
    EXPECT_EQ(identical.state.runState, EndReached);
    EXPECT_EQ(identical.state.progressPercent, 7u);  // progress belongs to the search
    EXPECT_EQ(identical.list.rowCount(), 0);
    EXPECT_EQ(identical.updateCalls, 0);

    ComparisonState oneLetter(folder.write("a", "abcde"), folder.write("b", "abXde"), DirectoryMode);
    EXPECT_EQ(oneLetter.searchPercent(), 80u);
    ComparisonState longer(folder.write("c", "0123456789"), folder.write("d", "0123456789ab"), DirectoryMode);
    EXPECT_EQ(longer.searchPercent(), 83u);
    ComparisonState sameFile(same1, same1, QuickDirMode);
    EXPECT_EQ(sameFile.searchPercent(), 100u);
}

TEST(PairPercentage, RefusedPairsGiveZeroAndTwoEmptyFilesOnlyCountWithZeroLengthOn) {
    TestFolder folder;
    const std::string empty1 = folder.write("e1", "");
    const std::string empty2 = folder.write("e2", "");
    const std::string full = folder.write("f", "data");
    ComparisonState emptyPair(empty1, empty2, DirectoryMode);
    EXPECT_EQ(emptyPair.searchPercent(), 0u);
    EXPECT_EQ(emptyPair.state.runState, SizeFault);
    emptyPair.state.checkZeroLength = 1;
    EXPECT_EQ(emptyPair.searchPercent(), 100u);
    EXPECT_EQ(emptyPair.state.runState, EndReached);
    ComparisonState oneEmpty(full, empty1, QuickDirMode);
    oneEmpty.state.checkZeroLength = 1;
    EXPECT_EQ(oneEmpty.searchPercent(), 0u);
    EXPECT_EQ(oneEmpty.state.runState, SizeFault);
    ComparisonState missing(full, folder.path("gone"), DirectoryMode);
    EXPECT_EQ(missing.searchPercent(), 0u);
    EXPECT_EQ(missing.state.runState, OpenFailed);
    EXPECT_EQ(missing.state.runControl, Running);
}

TEST(PairPercentage, SearchThresholdStopsReadingOnceThePairCannotReachIt) {
    TestFolder folder;
    std::vector<uint8_t> content(25000000, 'q');
    const std::string a = folder.write("a", content);
    content[5] = 'r';
    const std::string b = folder.write("b", content);
    ComparisonState pair(a, b, DirectoryMode);
    EXPECT_EQ(pair.searchPercent(99), 99u);
    EXPECT_EQ(pair.bytesRead, 50000000u);
    pair.bytesRead = 0;
    EXPECT_LT(pair.searchPercent(100), 100u);
    EXPECT_EQ(pair.bytesRead, 2u * kSearchPiece);  // the first differing byte ends it
    // Sizes alone can rule a pair out.
    const std::string shorter = folder.write("c", std::vector<uint8_t>(20000000, 'q'));
    ComparisonState sizes(a, shorter, DirectoryMode);
    EXPECT_LT(sizes.searchPercent(90), 90u);
    EXPECT_EQ(sizes.bytesRead, 0u);
    EXPECT_EQ(sizes.searchPercent(), 80u);
}
