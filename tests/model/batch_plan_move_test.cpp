#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "actions/batch_plan_model.h"
#include "engine/base/path_text.h"
#include "engine/job/settings.h"
#include "engine/rows/result_store.h"

namespace {

// One 100% row whose column A file is `path`; returns its planned step.
BatchStep planMoveOf(const std::string& path, const std::string& moveDirectory) {
    ResultStore rows;
    rows.insertRow(0, "Start");
    rows.insertTwinRow(1, TwinRecord{path.c_str(), "C:\\keep\\twin", 100, {}, {}});
    const BatchPlan plan = planBatch(rows, 0, MoveToMode, moveDirectory.c_str());
    EXPECT_EQ(plan.size(), 1u);
    return plan.rows.empty() ? BatchStep{} : planStep(plan, rows, 0);
}

std::string withBackslash(const std::string& folder) {
    PathText text;
    copyPathText(text, folder.c_str());
    EXPECT_TRUE(ensureTrailingBackslash(text));
    return text;
}

}  // namespace

TEST(BatchPlanMove, MovesIntoTheFolderUnderTheFileName) {
    const std::string folder = withBackslash("D:\\Moved");
    EXPECT_EQ(folder, "D:\\Moved\\");
    EXPECT_EQ(withBackslash(folder), folder);

    const BatchStep step = planMoveOf("C:\\a\\b.txt", folder);
    EXPECT_EQ(step.action, BatchAction::Move);
    EXPECT_EQ(step.destination, "D:\\Moved\\b.txt");
    EXPECT_FALSE(step.handOverAfter);
    EXPECT_EQ(planMoveOf("C:\\a\\b.txt", "\\\\server\\share\\").destination, "\\\\server\\share\\b.txt");
}

TEST(BatchPlanMove, OneCharacterNamesAreMovedLikeAnyOther) {
    PathText name;
    fileNamePart("C:\\a\\b", name);
    EXPECT_STREQ(name, "b");
    fileNamePart("x", name);
    EXPECT_STREQ(name, "x");
    fileNamePart("C:\\a\\long name.bin", name);
    EXPECT_STREQ(name, "long name.bin");
    fileNamePart("C:\\\xCE\xB1\\\xE6\x97\xA5\xE6\x9C\xAC.bin", name);  // Greek folder, Japanese name
    EXPECT_STREQ(name, "\xE6\x97\xA5\xE6\x9C\xAC.bin");

    EXPECT_EQ(planMoveOf("C:\\a\\b", "D:\\Moved\\").destination, "D:\\Moved\\b");
    EXPECT_EQ(planMoveOf("C:\\b", "D:\\Moved\\").destination, "D:\\Moved\\b");
}

TEST(BatchPlanMove, WithoutAFullFolderEveryFileStays) {
    // No folder chosen: it stays empty and nothing lands on a drive's root.
    EXPECT_EQ(withBackslash(""), "");
    EXPECT_EQ(planMoveOf("C:\\a\\b.txt", "").action, BatchAction::Leave);
    // Folders that depend on the current drive or folder.
    EXPECT_EQ(planMoveOf("C:\\a\\b.txt", "\\").action, BatchAction::Leave);
    EXPECT_EQ(planMoveOf("C:\\a\\b.txt", "Moved\\").action, BatchAction::Leave);
    EXPECT_EQ(planMoveOf("C:\\a\\b.txt", "D:Moved\\").action, BatchAction::Leave);
    // A path that names no file.
    EXPECT_EQ(planMoveOf("C:\\a\\", "D:\\Moved\\").action, BatchAction::Leave);
}

TEST(BatchPlanMove, ADestinationThatDoesNotFitLeavesTheFile) {
    const std::string folder = "D:\\" + std::string(590, 'f') + "\\";             // 594 characters
    EXPECT_EQ(planMoveOf("C:\\a\\12345", folder).destination, folder + "12345");  // 599: fits
    const BatchStep tooLong = planMoveOf("C:\\a\\123456", folder);
    EXPECT_EQ(tooLong.action, BatchAction::Leave);
    EXPECT_EQ(tooLong.destination, "");

    // A 599-character folder has no room for its "\" and stays as it was.
    PathText full;
    const std::string text = "D:\\" + std::string(596, 'f');
    copyPathText(full, text.c_str());
    EXPECT_FALSE(ensureTrailingBackslash(full));
    EXPECT_EQ(std::string(full), text);
    EXPECT_EQ(planMoveOf("C:\\a\\b", full).action, BatchAction::Leave);
}
