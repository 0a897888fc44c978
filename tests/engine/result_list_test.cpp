#include <gtest/gtest.h>

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
    EXPECT_EQ(list.rows(), (std::vector<ResultRow>{{"7", "1", "File A is \"x\", File B is 0Ah"},
                                                   {"C:\\a", "C:\\b", "100"}}));
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
