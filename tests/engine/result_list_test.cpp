#include <gtest/gtest.h>

#include "engine/result_store.h"

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
