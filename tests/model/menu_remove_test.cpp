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

TEST(RemovePair, DropsEveryChosenTwinRowAndTheClosingCountFollows) {
    SearchedList searched;
    searched.list.setCell(3, 1, "2 twins found");
    EXPECT_EQ(removeTwinRows(searched.state, {1}), 1u);
    EXPECT_EQ(searched.state.twinCount, 1u);
    ASSERT_EQ(searched.list.rowCount(), 3);
    EXPECT_EQ(searched.list.rows()[1][0], "Z:\\a\\two.bin");
    EXPECT_EQ(searched.list.rows()[2], (ResultRow{"End", "1 twins found", ""}));

    SearchedList both;
    // The opening and closing rows, a row twice and one beyond the end are passed over.
    EXPECT_EQ(removeTwinRows(both.state, {3, 2, 0, 1, 2, 4, -1}), 2u);
    EXPECT_EQ(both.state.twinCount, 0u);
    EXPECT_EQ(both.list.rows(), (std::vector<ResultRow>{{"Start", "", ""}, {"End", "0 twins found", ""}}));
    EXPECT_EQ(removeTwinRows(both.state, {1}), 0u);  // no twins left: the closing row stays
    EXPECT_EQ(both.list.rowCount(), 2);

    // A search's own closing row stays its record, so a saved list still ends with it.
    SearchedList typed;
    typed.list.deleteRow(3);
    JobRowRecord end;
    end.kind = JobRowKind::SearchEnd;
    end.count = 2;
    typed.list.insertJobRow(3, end);
    EXPECT_EQ(removeTwinRows(typed.state, {2}), 1u);
    ASSERT_TRUE(typed.list.jobRowAt(2, end));
    EXPECT_EQ(end.count, 1u);
    EXPECT_EQ(typed.list.rows()[2], (ResultRow{"End", "1 twins found", ""}));
}

TEST(RemovePair, LeavesTheOpeningAndClosingRowsAndAMissingFocusAlone) {
    for (int chosen : {-1, 0, 3, 4}) {
        SearchedList searched;
        EXPECT_EQ(removeTwinRows(searched.state, {chosen}), 0u) << chosen;
        EXPECT_EQ(searched.state.twinCount, 2u);
        EXPECT_EQ(searched.list.rowCount(), 4);
    }
}
