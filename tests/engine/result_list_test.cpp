#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/rows/result_store.h"

TEST(DecimalText, FormatsSignedValuesAndParsesDigits) {
    char buffer[600];
    formatDecimal(-5, buffer);
    EXPECT_STREQ(buffer, "-5");
    formatDecimal(0, buffer);
    EXPECT_STREQ(buffer, "0");
    formatDecimal(42, buffer);
    EXPECT_STREQ(buffer, "42");
    formatDecimal(-2147483647 - 1, buffer);
    EXPECT_STREQ(buffer, "-2147483648");
    EXPECT_EQ(parseDecimal("100"), 100);
    EXPECT_EQ(parseDecimal(""), 0);
}

TEST(ResultStore, InsertsAppendsAndIgnoresMissingRows) {
    ResultStore list;
    list.insertRow(5, "first");  // beyond the end appends
    list.insertRow(0, "zero");
    list.setCell(1, 2, "cell");
    list.setCell(9, 1, "ignored");
    char buffer[600];
    EXPECT_EQ(list.getCell(0, 0, buffer), 4);
    EXPECT_EQ(list.getCell(1, 2, buffer), 4);
    EXPECT_STREQ(buffer, "cell");
    EXPECT_EQ(list.getCell(7, 0, buffer), 0);
    list.deleteRow(0);
    EXPECT_EQ(list.rowCount(), 1);
    EXPECT_EQ(list.focusedRow(), -1);
}

TEST(ResultStore, TypedRowsShowTheirTextsAndBecomeTextsWhenACellIsWritten) {
    ResultStore list;
    list.insertTwinRow(0, TwinRecord{"C:\\a", "C:\\b", 100, {}, {}});
    RunRecord run;
    run.offset = 7;
    run.length = 1;
    run.quoted = 1;
    run.bytesA[0] = 'x';
    run.bytesB[0] = 10;
    list.insertRunRow(0, run);
    list.insertJobRow(2, JobRowRecord{JobRowKind::SearchEnd, JobEnd::Aborted, 1, {}});
    EXPECT_EQ(list.rows(), (std::vector<ResultRow>{{"7", "1", "File A is \"x\", File B is 0Ah"},
                                                   {"C:\\a", "C:\\b", "100"},
                                                   {"Aborted", "1 twins found", ""}}));
    JobRowRecord closing;
    ASSERT_TRUE(list.jobRowAt(2, closing));
    EXPECT_EQ(closing.end, JobEnd::Aborted);
    EXPECT_EQ(closing.count, 1u);
    EXPECT_FALSE(list.jobRowAt(1, closing));
    StoredTwin twin;
    EXPECT_FALSE(list.twinAt(0, twin));
    ASSERT_TRUE(list.twinAt(1, twin));
    EXPECT_EQ(twin.pathB, "C:\\b");

    // A written cell keeps the row's other texts, and the row is no twin any more.
    list.setCell(1, 2, "99");
    EXPECT_EQ(list.rows()[1], (ResultRow{"C:\\a", "C:\\b", "99"}));
    EXPECT_FALSE(list.twinAt(1, twin));
}

TEST(ResultStore, TwinRowsShareEachFileOfTheSearchAndForgetThemWithTheRows) {
    ResultStore list;
    TwinFileFacts first;
    first.size = 5;
    TwinFileFacts later;
    later.size = 6;
    list.insertTwinRow(0, TwinRecord{"C:\\x", "C:\\y", 100, first, first, 3, 4});
    list.insertTwinRow(1, TwinRecord{"C:\\x", "C:\\z", 97, later, later, 3, 9});
    list.insertTwinRow(0, TwinRecord{"C:\\y", "C:\\z", 98, later, later, 4, 9});
    EXPECT_EQ(list.rows(),
              (std::vector<ResultRow>{
                  {"C:\\y", "C:\\z", "98"}, {"C:\\x", "C:\\y", "100"}, {"C:\\x", "C:\\z", "97"}}));
    // A file keeps what the search learnt of it first, in every row that names it.
    StoredTwin twin;
    ASSERT_TRUE(list.twinAt(2, twin));
    EXPECT_EQ(twin.factsA.size, 5u);
    EXPECT_EQ(twin.factsB.size, 6u);
    EXPECT_EQ(twin.percent, 97u);
    list.deleteRow(1);
    EXPECT_EQ(list.rows()[1], (ResultRow{"C:\\x", "C:\\z", "97"}));

    // The next search numbers its files afresh.
    list.clearRows();
    list.insertTwinRow(0, TwinRecord{"D:\\p", "D:\\q", 100, {}, {}, 3, 4});
    EXPECT_EQ(list.rows(), (std::vector<ResultRow>{{"D:\\p", "D:\\q", "100"}}));
}

namespace {

// "Start", `count` twin rows over `files` files of varied names and
// percentages (some paths equal but for case, some the prefix of another),
// and "End"; one row in a thousand is a row of texts.
void listManyTwins(ResultStore& list, uint32_t count, uint32_t files) {
    list.insertRow(0, "Start");
    std::vector<std::string> names;
    for (uint32_t file = 0; file < files; ++file) {
        const uint32_t mixed = file * 2654435761u;
        names.push_back(std::string(file % 3 == 0 ? "C:\\Data\\" : "C:\\data\\") +
                        std::to_string(mixed % 977) + (file % 5 == 0 ? "" : "\\x.bin") +
                        std::string(file % 7, '\xE9'));
    }
    for (uint32_t row = 0; row < count; ++row) {
        const uint32_t a = (row * 7919u) % files;
        const uint32_t b = (row * 104729u + 13) % files;
        list.insertTwinRow(
            row + 1, TwinRecord{names[a].c_str(), names[b].c_str(), 50 + (row * 31u) % 51, {}, {}, a, b});
    }
    list.insertRow(count + 1, "End");
}

// The rows sorted as the list should show them: by the cell's bytes, the
// percentage as a number, equal cells in their order; "Start" first, "End" last.
std::vector<ResultRow> expectedOrder(std::vector<ResultRow> rows, int column, bool descending) {
    auto before = [column](const ResultRow& left, const ResultRow& right) {
        if (column == 2) return std::stoi(left[2]) < std::stoi(right[2]);
        if (left[column] != right[column]) return left[column] < right[column];
        return left[1 - column] < right[1 - column];
    };
    std::stable_sort(rows.begin() + 1, rows.end() - 1, [&](const ResultRow& left, const ResultRow& right) {
        return descending ? before(right, left) : before(left, right);
    });
    return rows;
}

}  // namespace

TEST(ResultStoreSort, EveryColumnBothWaysMatchesASortOfTheShownTexts) {
    ResultStore list;
    listManyTwins(list, 200000, 3001);
    std::vector<ResultRow> shown = list.rows();
    for (int column : {2, 0, 1, 2}) {
        for (bool descending : {false, true}) {
            shown = expectedOrder(shown, column, descending);
            list.sortRows(column, descending);
            ASSERT_EQ(list.rows(), shown) << column << descending;
        }
    }
    EXPECT_EQ(list.rows().front()[0], "Start");
    EXPECT_EQ(list.rows().back()[0], "End");
}

TEST(ResultStoreSort, FollowsARowAndSortsRunsByPositionLengthAndDetails) {
    ResultStore list;
    list.insertRow(0, "Start");
    const uint32_t offsets[] = {40, 10, 30, 20};
    const uint32_t lengths[] = {2, 9, 2, 1};
    const char bytesA[] = {'q', 'b', 'q', 'a'};
    for (int at = 0; at < 4; ++at) {
        RunRecord run;
        run.offset = offsets[at];
        run.length = lengths[at];
        run.quoted = at == 1 ? 0 : 1;  // "Different" sorts first
        run.bytesA[0] = static_cast<uint8_t>(bytesA[at]);
        run.bytesB[0] = static_cast<uint8_t>('z' - at);
        list.insertRunRow(at + 1, run);
    }
    list.insertRow(5, "End");
    auto column = [&list](int index) {
        std::vector<std::string> cells;
        for (const ResultRow& row : list.rows()) cells.push_back(row[index]);
        return cells;
    };
    EXPECT_EQ(list.sortRows(0, false, 1), 4);  // the row at 40 goes last among the runs
    EXPECT_EQ(column(0), (std::vector<std::string>{"Start", "10", "20", "30", "40", "End"}));
    list.sortRows(1, true);
    EXPECT_EQ(column(0), (std::vector<std::string>{"Start", "10", "40", "30", "20", "End"}));
    list.sortRows(2, false);
    EXPECT_EQ(column(0), (std::vector<std::string>{"Start", "10", "20", "30", "40", "End"}));
    EXPECT_EQ(list.sortRows(2, false, 0), 0);
}

TEST(ResultStore, DeletesManyRowsInOnePassAndSwapsAllRowsWithAnotherStore) {
    ResultStore list;
    listManyTwins(list, 1000, 50);
    std::vector<ResultRow> expected = list.rows();
    std::vector<int> gone;
    for (int row = 999; row >= 1; row -= 3) gone.push_back(row);
    gone.push_back(5000);
    gone.push_back(999);
    list.deleteRows(gone);
    for (int row = 999; row >= 1; row -= 3) expected.erase(expected.begin() + row);
    ASSERT_EQ(list.rows(), expected);

    ResultStore kept;
    kept.insertRow(0, "Indexing....");
    list.setFocusedRow(7);
    list.swapRows(kept);
    EXPECT_EQ(list.rows(), (std::vector<ResultRow>{{"Indexing....", "", ""}}));
    EXPECT_EQ(kept.rows(), expected);
    EXPECT_EQ(kept.focusedRow(), 7);
    StoredTwin twin;
    EXPECT_TRUE(kept.twinAt(1, twin));
}
