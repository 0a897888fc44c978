#include <gtest/gtest.h>

#include "engine/rows/result_store.h"
#include "window/menu_model.h"

namespace {

// "Start", two twin rows and the closing "End" row, as a search leaves them.
struct SearchedList {
    ResultStore list;
    AppState state;
    SearchedList() {
        list.insertRow(0, "Start");
        list.insertRow(1, "Z:\\a\\one.bin");
        list.insertRow(2, "Z:\\a\\two.bin");
        list.insertRow(3, "End");
        state.results = &list;
        state.twinCount = 2;
    }
};

}  // namespace

TEST(RemovePair, DropsTheFocusedTwinRowAndKeepsTheClosingRowLast) {
    SearchedList searched;
    searched.list.setFocusedRow(1);
    EXPECT_TRUE(removeFocusedPair(searched.state));
    EXPECT_EQ(searched.state.twinCount, 1u);
    ASSERT_EQ(searched.list.rowCount(), 3);
    EXPECT_EQ(searched.list.rows()[1][0], "Z:\\a\\two.bin");
    EXPECT_EQ(searched.list.rows()[searched.state.twinCount + 1][0], "End");

    EXPECT_TRUE(removeFocusedPair(searched.state));  // the focus now names the row that moved up
    EXPECT_EQ(searched.state.twinCount, 0u);
    EXPECT_EQ(searched.list.rows()[1][0], "End");
    EXPECT_FALSE(removeFocusedPair(searched.state));  // no twins left: the closing row stays
    EXPECT_EQ(searched.list.rowCount(), 2);
}

TEST(RemovePair, LeavesTheOpeningAndClosingRowsAndAMissingFocusAlone) {
    for (int focused : {-1, 0, 3, 4}) {
        SearchedList searched;
        searched.list.setFocusedRow(focused);
        EXPECT_FALSE(removeFocusedPair(searched.state)) << focused;
        EXPECT_EQ(searched.state.twinCount, 2u);
        EXPECT_EQ(searched.list.rowCount(), 4);
    }
}
