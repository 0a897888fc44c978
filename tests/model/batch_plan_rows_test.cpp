#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "actions/batch_plan_model.h"
#include "engine/job/settings.h"
#include "engine/rows/result_store.h"

namespace {

struct Twin {
    std::string a;
    std::string b;
    uint32_t percent;
};

// Each file's facts tell the files apart: file A's size is its path's length, file B's that plus 100.
void insertTwin(ResultStore& rows, const Twin& twin) {
    TwinFileFacts factsA, factsB;
    factsA.size = twin.a.size();
    factsB.size = twin.b.size() + 100;
    rows.insertTwinRow(rows.rowCount(),
                       TwinRecord{twin.a.c_str(), twin.b.c_str(), twin.percent, factsA, factsB});
}

// A search report: the "Start" row, one row per twin, the closing row.
void report(ResultStore& rows, const std::vector<Twin>& twins) {
    rows.insertRow(0, "Start");
    rows.setCell(0, 1, "3 files found.");
    for (const Twin& twin : twins) insertTwin(rows, twin);
    rows.insertRow(rows.rowCount(), "End");
    rows.setCell(rows.rowCount() - 1, 1, "0 twins found");
}

std::vector<BatchStep> stepsOf(const BatchPlan& plan, const ResultStore& rows) {
    std::vector<BatchStep> steps;
    for (std::size_t at = 0; at < plan.size(); ++at) steps.push_back(planStep(plan, rows, at));
    return steps;
}

std::vector<std::string> paths(const BatchPlan& plan, const ResultStore& rows) {
    std::vector<std::string> result;
    for (const BatchStep& step : stepsOf(plan, rows)) result.push_back(step.path);
    return result;
}

std::vector<std::size_t> handOverSizes(const BatchPlan& plan, const ResultStore& rows) {
    std::vector<std::size_t> sizes;
    std::size_t queued = 0;
    for (const BatchStep& step : stepsOf(plan, rows)) {
        if (step.action == BatchAction::Recycle) ++queued;
        if (step.handOverAfter) {
            sizes.push_back(queued);
            queued = 0;
        }
    }
    EXPECT_EQ(queued, 0u) << "recycled paths left without a hand-over";
    return sizes;
}

const std::vector<Twin> kMixed = {
    {"C:\\a\\1.txt", "C:\\b\\1.txt", 100},
    {"C:\\a\\2.txt", "C:\\b\\2.txt", 98},
    {"C:\\a\\3.txt", "C:\\b\\3.txt", 100},
};

}  // namespace

TEST(BatchPlanRows, TakesOnlyTheFullMatchesOfTheChosenColumnWithTheirTwins) {
    ResultStore rows;
    report(rows, kMixed);
    const std::vector<BatchStep> columnA = stepsOf(planBatch(rows, 0, DeleteMode, ""), rows);
    ASSERT_EQ(columnA.size(), 2u);
    EXPECT_EQ(columnA[0].path, "C:\\a\\1.txt");
    EXPECT_EQ(columnA[1].path, "C:\\a\\3.txt");
    EXPECT_EQ(columnA[0].row, 1);
    EXPECT_EQ(columnA[0].twin, "C:\\b\\1.txt");
    EXPECT_EQ(columnA[1].row, 3);
    EXPECT_EQ(columnA[1].action, BatchAction::Delete);
    EXPECT_FALSE(columnA[1].handOverAfter);

    const BatchPlan planB = planBatch(rows, 1, DeleteMode, "");
    EXPECT_EQ(paths(planB, rows), (std::vector<std::string>{"C:\\b\\1.txt", "C:\\b\\3.txt"}));
    const std::vector<BatchStep> columnB = stepsOf(planB, rows);
    EXPECT_EQ(columnB[1].twin, "C:\\a\\3.txt");
    // Each file goes with what the search learnt of it.
    EXPECT_EQ(columnB[1].pathFacts.size, 110u);
    EXPECT_EQ(columnB[1].twinFacts.size, 10u);
    EXPECT_EQ(columnA[1].pathFacts.size, 10u);
}

TEST(BatchPlanRows, StopsAtTheFirstRowThatHoldsNoTwinAndPassesOverEmptyPaths) {
    ResultStore rows;
    report(rows, {{"", "C:\\b\\x", 100}, {"C:\\a\\y", "C:\\b\\y", 100}});
    // A twin below the closing row is not part of the report.
    insertTwin(rows, {"C:\\a\\late", "C:\\b\\late", 100});
    EXPECT_EQ(paths(planBatch(rows, 0, DeleteMode, ""), rows), std::vector<std::string>{"C:\\a\\y"});

    // A stop while the rows are read plans nothing at all.
    int reads = 0;
    EXPECT_TRUE(planBatch(rows, 0, DeleteMode, "", [&] { return ++reads > 1; }).rows.empty());

    ResultStore empty;
    EXPECT_TRUE(planBatch(empty, 0, RecycleMode, "").rows.empty());

    // Texts that merely read like a twin row are never planned: only the search's records are.
    ResultStore texts;
    texts.insertRow(0, "Start");
    texts.insertRow(1, "C:\\a\\text");
    texts.setCell(1, 1, "C:\\b\\text");
    texts.setCell(1, 2, "100");
    EXPECT_TRUE(planBatch(texts, 0, DeleteMode, "").rows.empty());
}

TEST(BatchPlanRows, RecycleHandsOverAtMost1001PathsAtATime) {
    std::vector<Twin> twins;
    for (int i = 0; i < 2500; ++i) {
        twins.push_back({"C:\\a\\" + std::to_string(i), "C:\\b\\" + std::to_string(i), 100});
    }
    ResultStore rows;
    report(rows, twins);
    const BatchPlan plan = planBatch(rows, 0, RecycleMode, "");
    ASSERT_EQ(plan.size(), 2500u);
    EXPECT_EQ(planStep(plan, rows, 2499).path, "C:\\a\\2499");
    EXPECT_EQ(handOverSizes(plan, rows), (std::vector<std::size_t>{1001, 1001, 498}));

    ResultStore mixed;
    report(mixed, kMixed);
    EXPECT_EQ(handOverSizes(planBatch(mixed, 1, RecycleMode, ""), mixed), std::vector<std::size_t>{2});
}

TEST(BatchPlanRows, AFileTwinToManyIsPlannedOnceAtItsFirstRow) {
    // Four copies as the search lists them: every pair, each file under its search number.
    ResultStore rows;
    rows.insertRow(0, "Start");
    const std::string copies[] = {"C:\\0", "C:\\1", "C:\\2", "C:\\3"};
    for (uint32_t a = 0; a < 4; ++a) {
        for (uint32_t b = a + 1; b < 4; ++b) {
            rows.insertTwinRow(rows.rowCount(),
                               TwinRecord{copies[a].c_str(), copies[b].c_str(), 100, {}, {}, a, b});
        }
    }
    std::vector<std::string> planned;
    for (const BatchStep& step : stepsOf(planBatch(rows, 0, DeleteMode, ""), rows)) {
        planned.push_back(std::to_string(step.row) + " " + step.path + " " + step.twin);
    }
    EXPECT_EQ(planned, (std::vector<std::string>{"1 C:\\0 C:\\1", "4 C:\\1 C:\\2", "6 C:\\2 C:\\3"}));
    const BatchPlan planB = planBatch(rows, 1, RecycleMode, "");
    EXPECT_EQ(paths(planB, rows), (std::vector<std::string>{"C:\\1", "C:\\2", "C:\\3"}));
    EXPECT_EQ(handOverSizes(planB, rows), std::vector<std::size_t>{3});
}

TEST(BatchPlanRows, AnUnknownModeOrColumnRemovesNothing) {
    ResultStore rows;
    report(rows, kMixed);
    const BatchPlan plan = planBatch(rows, 0, 7, "D:\\Moved\\");
    // The paths are still shown one by one, but every file stays.
    EXPECT_EQ(paths(plan, rows), (std::vector<std::string>{"C:\\a\\1.txt", "C:\\a\\3.txt"}));
    for (const BatchStep& step : stepsOf(plan, rows)) {
        EXPECT_EQ(step.action, BatchAction::Leave);
        EXPECT_FALSE(step.handOverAfter);
    }
    EXPECT_TRUE(planBatch(rows, 2, DeleteMode, "").rows.empty());
}

TEST(BatchPlanWords, TheConfirmationSaysHowManyFilesOfWhichColumnGoWhere) {
    EXPECT_EQ(batchPromptText(2, 1, DeleteMode, ""), "2 files of Column B will be deleted for good.");
    EXPECT_EQ(batchPromptText(1, 0, RecycleMode, ""), "1 file of Column A will be moved to the Recycle Bin.");
    EXPECT_EQ(batchPromptText(3, 0, MoveToMode, "D:\\Moved\\"),
              "3 files of Column A will be moved to D:\\Moved\\.");
    EXPECT_EQ(batchPromptText(3, 0, MoveToMode, "\\"),
              "3 files of Column A would be acted on, but no full folder to move them to is chosen "
              "(Select Move Dir): every file will stay.");
    EXPECT_EQ(
        batchPromptText(3, 1, 7, ""),
        "3 files of Column B would be acted on, but the Batch Delete Mode is not known: every file will "
        "stay.");
    EXPECT_EQ(batchPromptText(0, 1, DeleteMode, ""),
              "No file of Column B is a 100% twin: no file will be touched.");
}

TEST(BatchPlanWords, TheSummaryAlwaysCountsTheFilesRemovedAndKept) {
    BatchTally tally;
    tally.planned = 2;
    tally.removed = 2;
    EXPECT_EQ(batchOutcomeText(tally, DeleteMode, ""), "Deleted 2 of 2 files for good. Kept 0.");
    EXPECT_EQ(batchOutcomeText(tally, RecycleMode, ""), "Moved 2 of 2 files to the Recycle Bin. Kept 0.");
    tally = {10, 5, 2, 1};  // planned, removed, kept by the re-check, failed; 2 not reached
    EXPECT_EQ(batchOutcomeText(tally, MoveToMode, "D:\\Moved\\"),
              "Moved 5 of 10 files to D:\\Moved\\. Kept 5: 2 whose twin was missing or no longer the same, 1 "
              "that could not be removed, 2 not reached after Cancel.");
    tally = {1, 0, 0, 1};
    EXPECT_EQ(batchOutcomeText(tally, MoveToMode, ""),
              "Removed 0 of 1 file. Kept 1: 1 that could not be removed.");
}
