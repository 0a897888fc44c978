// The rows of a File-mode comparison as the user reads them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/engine/compare_fixture.h"
#include "tests/engine/compare_test_files.h"

namespace {

std::vector<uint8_t> filled(uint32_t size, uint8_t value = 'k') {
    return std::vector<uint8_t>(size, value);
}

}  // namespace

TEST(FileReport, IdenticalFilesAreTheSame) {
    TestFolder folder;
    ComparisonState run(folder.write("a", "hello"), folder.write("b", "hello"));
    EXPECT_EQ(run.fileReport(),
              (std::vector<ResultRow>{row("Start", "", "Files are the same size"), row("End", "", "Same")}));
    EXPECT_EQ(run.state.runState, Idle);
    EXPECT_EQ(run.state.runControl, Running);
    EXPECT_EQ(run.state.progressPercent, 100u);
    EXPECT_EQ(run.updateCalls, 2);
    EXPECT_EQ(run.state.compareBufferA, nullptr);
    EXPECT_EQ(run.state.compareBufferB, nullptr);
    EXPECT_EQ(run.outcome.end, JobEnd::Completed);
    EXPECT_EQ(run.outcome.pair, PairOutcome::Compared);
    EXPECT_EQ(run.outcome.differingBytes, 0u);
}

TEST(FileReport, OneDifferingLetterShowsItsOffsetAndBothBytes) {
    TestFolder folder;
    ComparisonState run(folder.write("a", "abcde"), folder.write("b", "abXde"));
    EXPECT_EQ(run.fileReport(), (std::vector<ResultRow>{row("Start", "", "Files are the same size"),
                                                        row("2", "1", "File A is \"c\", File B is \"X\""),
                                                        row("End", "", "Files have 80% in common")}));
    EXPECT_EQ(run.outcome.differingBytes, 1u);
    EXPECT_EQ(run.outcome.runRows, 1u);
}

TEST(FileReport, LongerFileCountsItsExtraBytesAsDiffering) {
    TestFolder folder;
    ComparisonState run(folder.write("a", "0123456789"), folder.write("b", "0123456789ab"));
    EXPECT_EQ(run.fileReport(), (std::vector<ResultRow>{row("Start", "", "Files are not the same size"),
                                                        row("End", "", "Files have 83% in common")}));
}

TEST(FileReport, RunsAtTheEndOfTheDataAreClosedWithTheirRow) {
    TestFolder folder;
    ComparisonState oneByte(folder.write("a", "x"), folder.write("b", "y"));
    EXPECT_EQ(oneByte.fileReport(), (std::vector<ResultRow>{row("Start", "", "Files are the same size"),
                                                            row("0", "1", "File A is \"x\", File B is \"y\""),
                                                            row("End", "", "Files have 0% in common")}));
    ComparisonState controls(folder.write("c", "ab\n"), folder.write("d", "ab\r"));
    EXPECT_EQ(controls.fileReport()[1], row("2", "1", "File A is 0Ah, File B is 0Dh"));
}

TEST(FileReport, LongRunsQuoteTheirFirst20BytesWithStandInsForBytesWithoutAGlyph) {
    TestFolder folder;
    std::string a(130, '.');
    std::string b = a;
    for (int index = 100; index < 125; ++index) b[index] = static_cast<char>('A' + index - 100);
    a.replace(100, 3, std::string("\0zz", 3));
    b[50] = '\t';
    b[51] = '\n';
    const std::vector<ResultRow> rows =
        ComparisonState(folder.write("a", a), folder.write("b", b)).fileReport();
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[1], row("50", "2", "File A is \"..\", File B is \"\\x09\\x0A\""));
    EXPECT_EQ(rows[2],
              row("100", "25", "File A is \"\\x00zz.................\", File B is \"ABCDEFGHIJKLMNOPQRST\""));
    EXPECT_EQ(rows[3], row("End", "", "Files have 79% in common"));
}

TEST(FileReport, SizeChecksEndTheRunWithOnlyTheClosingRow) {
    TestFolder folder;
    const std::string empty1 = folder.write("e1", "");
    const std::string empty2 = folder.write("e2", "");
    const std::string full = folder.write("f", "data");
    EXPECT_EQ(ComparisonState(empty1, empty2).fileReport(),
              (std::vector<ResultRow>{row("End", "", "Fault")}));
    ComparisonState zeroLength(empty1, empty2);
    zeroLength.state.checkZeroLength = 1;
    EXPECT_EQ(zeroLength.fileReport(), (std::vector<ResultRow>{row("End", "", "Zero Bytes")}));
    EXPECT_EQ(zeroLength.outcome.pair, PairOutcome::ZeroBytes);
    EXPECT_EQ(ComparisonState(full, empty1).fileReport(), (std::vector<ResultRow>{row("End", "", "Fault")}));
    EXPECT_EQ(ComparisonState(empty1, full).fileReport(), (std::vector<ResultRow>{row("End", "", "Fault")}));
    ComparisonState missing(full, folder.path("missing"));
    EXPECT_EQ(missing.fileReport(), (std::vector<ResultRow>{row("End", "", "Error opening file")}));
    EXPECT_EQ(missing.state.runState, Idle);
    EXPECT_EQ(missing.outcome.end, JobEnd::Completed);
    EXPECT_EQ(missing.outcome.pair, PairOutcome::OpenFailed);
    EXPECT_EQ(ComparisonState(folder.path("missing"), full).fileReport(),
              (std::vector<ResultRow>{row("End", "", "Error opening file")}));
    EXPECT_EQ(ComparisonState(full, full).fileReport(),
              (std::vector<ResultRow>{row("Start", "", "Files are the same size"), row("End", "", "Same")}));
}

TEST(FileReport, ADifferenceOnTheLastByteOfAChunkGetsNoRow) {
    TestFolder folder;
    std::vector<uint8_t> b = filled(15000000);
    b[9999999] = 'z';
    ComparisonState run(folder.write("a", filled(15000000)), folder.write("b", b));
    EXPECT_EQ(run.fileReport(), (std::vector<ResultRow>{row("Start", "", "Files are the same size"),
                                                        row("End", "", "Files have 99% in common")}));
}

TEST(FileReport, ARunStartingAFullChunkReadsDifferent) {
    TestFolder folder;
    std::vector<uint8_t> b = filled(20000000);
    b[0] = b[1] = b[2] = 'z';
    b[10000005] = 'z';
    ComparisonState run(folder.write("a", filled(20000000)), folder.write("b", b));
    EXPECT_EQ(run.fileReport(),
              (std::vector<ResultRow>{row("Start", "", "Files are the same size"), row("0", "3", "Different"),
                                      row("10000005", "1", "File A is \"k\", File B is \"z\""),
                                      row("End", "", "Files have 99% in common")}));
}

TEST(FileReport, ARunAcrossTheChunkBoundaryIsSplitAndOnlyItsSecondPartListed) {
    TestFolder folder;
    std::vector<uint8_t> b = filled(20000001);
    for (uint32_t index = 9999998; index <= 10000001; ++index) b[index] = 'z';
    ComparisonState run(folder.write("a", filled(20000001)), folder.write("b", b));
    EXPECT_EQ(run.fileReport(), (std::vector<ResultRow>{row("Start", "", "Files are the same size"),
                                                        row("10000000", "2", "Different"),
                                                        row("End", "", "Files have 99% in common")}));
}

TEST(FileReport, ProgressMovesOncePerChunkAndScalesAbove20MillionBytes) {
    TestFolder folder;
    const std::vector<uint8_t> content = filled(30000000);
    ComparisonState run(folder.write("a", content), folder.write("b", content));
    std::vector<uint32_t> seen;
    run.state.readBlock = [&](fs::File* file, void* buffer, uint32_t count) {
        if (seen.empty() || seen.back() != run.state.progressPercent)
            seen.push_back(run.state.progressPercent);
        return fs::readFile(file, buffer, count);
    };
    run.fileReport();
    EXPECT_EQ(seen, (std::vector<uint32_t>{0, 33, 66}));  // as each chunk is read
    EXPECT_EQ(run.state.progressPercent, 100u);
}
