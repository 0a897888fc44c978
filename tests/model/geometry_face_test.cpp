#include <gtest/gtest.h>

#include <string>

#include "engine/job/run_state.h"
#include "engine/job/settings.h"
#include "window/face_model.h"

namespace {

FaceInput stateOf(uint32_t runState, uint32_t mode = FileMode, uint32_t percent = 0) {
    FaceInput input;
    input.width = 520;
    input.searchMode = mode;
    input.runState = runState;
    input.progressPercent = percent;
    input.currentFile = "C:\\data\\a.bin";
    return input;
}

std::string buttonTexts(const Face& face) {
    std::string texts;
    for (const FaceButton& button : face.buttons) {
        texts += std::string(button.text ? button.text : "<switch>") + "|";
    }
    return texts;
}

const FaceButton* switchOf(const Face& face) {
    for (const FaceButton& button : face.buttons) {
        if (button.kind >= SwitchStraight) return &button;
    }
    return nullptr;
}

}  // namespace

TEST(Face, IdleFaceShowsTheModeLabelsTheSwitchAndStart) {
    const Face face = describeFace(stateOf(Idle));
    ASSERT_TRUE(face.drawn);
    EXPECT_FALSE(face.busy);
    EXPECT_FALSE(face.band);
    EXPECT_EQ(buttonTexts(face), "Start|<switch>|About|Help|Choose|Choose|");
    std::string labels;
    for (const FaceLabel& label : face.labels) labels += std::string(label.text) + "|";
    EXPECT_EQ(labels, "Compare this|With this|File|Directory|Quick Dir|");

    EXPECT_FALSE(describeFace(stateOf(MenuRequested)).busy) << "codes above 500 show the idle face";
    const Face folder = describeFace(stateOf(Idle, QuickDirMode));
    EXPECT_EQ(buttonTexts(folder), "Start|<switch>|About|Help|Choose|") << "one Choose outside File mode";
    EXPECT_STREQ(folder.labels[0].text, "Search this");
}

TEST(Face, SwitchKindFollowsTheModeAndADamagedModeDrawsAsFile) {
    EXPECT_EQ(switchOf(describeFace(stateOf(Idle, FileMode)))->kind, SwitchStraight);
    EXPECT_EQ(switchOf(describeFace(stateOf(Idle, DirectoryMode)))->kind, SwitchMirrored);
    EXPECT_EQ(switchOf(describeFace(stateOf(Idle, QuickDirMode)))->kind, SwitchTurned);
    EXPECT_EQ(switchOf(describeFace(stateOf(Idle, 9)))->kind, SwitchStraight);
}

TEST(Face, BusyFaceShowsAbortPauseOrResumeAndNoSwitch) {
    FaceInput input = stateOf(Indexing, DirectoryMode, 40);
    Face face = describeFace(input);
    EXPECT_TRUE(face.busy);
    EXPECT_EQ(switchOf(face), nullptr);
    EXPECT_EQ(buttonTexts(face), "Abort|Pause|Help|Choose|");
    input.runControl = Paused;
    EXPECT_EQ(describeFace(input).buttons[1].text, std::string("Resume"));
    // Code 500 still counts as busy but shows no band.
    const Face edge = describeFace(stateOf(500, FileMode, 50));
    EXPECT_TRUE(edge.busy);
    EXPECT_FALSE(edge.band);
}

TEST(Face, ProgressBandWidthPercentTextAndCurrentFileLine) {
    Face face = describeFace(stateOf(Comparing, FileMode, 0));
    ASSERT_TRUE(face.band);
    EXPECT_EQ(face.bandRect.right, 0) << "0 % draws no band";
    EXPECT_TRUE(face.percentText.empty());
    EXPECT_FALSE(face.currentFileLine) << "File mode has no current-file line";

    face = describeFace(stateOf(Pairing, QuickDirMode, 50));
    EXPECT_EQ(face.bandRect.left, 3);
    EXPECT_EQ(face.bandRect.right, (520 - 175) * 50 / 100);
    EXPECT_EQ(face.percentText, "50%");
    EXPECT_TRUE(face.currentFileLine);
    EXPECT_EQ(face.currentFileText, "C:\\data\\a.bin");
    EXPECT_EQ(face.currentFileRect.right, 520 - 175);

    // A band whose right edge is 25 or less carries no text.
    EXPECT_EQ(bandRight(250, 33), 24u);
    FaceInput narrow = stateOf(Comparing, FileMode, 33);
    narrow.width = 250;
    EXPECT_TRUE(describeFace(narrow).percentText.empty());
    EXPECT_EQ(bandRight(250, 35), 26u);
}

TEST(Face, PercentAboveTheFinishedMarkerShowsAs99) {
    EXPECT_EQ(shownPercent(150), 99u);
    EXPECT_EQ(shownPercent(kProgressFinished), kProgressFinished);
    EXPECT_EQ(shownPercent(100), 100u);
}

TEST(Face, CurrentFileLineCountsFilesWhileIndexing) {
    EXPECT_EQ(currentFileLine(Indexing, 12, "C:\\x\\y.txt"), "12 files scanned. Current File: C:\\x\\y.txt");
    EXPECT_EQ(currentFileLine(Comparing, 12, "C:\\x\\y.txt"), "C:\\x\\y.txt");
}

TEST(Face, NarrowClientShowsOnlyTheBackground) {
    FaceInput input = stateOf(Comparing, DirectoryMode, 50);
    input.width = 200;
    EXPECT_FALSE(describeFace(input).drawn);
    EXPECT_TRUE(describeFace(input).buttons.empty());
    input.width = 201;
    EXPECT_TRUE(describeFace(input).drawn);
}

TEST(ListColumns, EachModeHasItsColumnSetAndBoxTip) {
    const ColumnSet& file = columnSet(FileMode);
    EXPECT_STREQ(file.columns[0].title, "Position");
    EXPECT_EQ(file.columns[2].width, 360);
    EXPECT_STREQ(file.boxATip, "File to be compared");
    const ColumnSet& quick = columnSet(QuickDirMode);
    EXPECT_STREQ(quick.columns[1].title, "File B");
    EXPECT_STREQ(quick.columns[2].title, "%");
    EXPECT_STREQ(quick.boxATip, "Folder to check");
    EXPECT_EQ(&columnSet(DirectoryMode), &quick);
}

TEST(ListColumns, PathColumnsShareTheListWidthSoNoHorizontalScrollBarIsNeeded) {
    int32_t widths[3];
    fittedColumnWidths(QuickDirMode, 518, 21, 96, widths);  // the first-run window
    EXPECT_EQ(widths[2], 40);
    EXPECT_EQ(widths[0], 228);
    EXPECT_EQ(widths[1], 228);
    EXPECT_LE(widths[0] + widths[1] + widths[2], 518 - 21);
    fittedColumnWidths(DirectoryMode, 1000, 21, 96, widths);
    EXPECT_EQ(widths[0], 469) << "the paths grow with the window";
    EXPECT_EQ(widths[2], 40);
    fittedColumnWidths(DirectoryMode, 30, 21, 96, widths);
    EXPECT_EQ(widths[0], 0) << "a tiny list never gets a negative width";
    fittedColumnWidths(FileMode, 1000, 21, 96, widths);
    EXPECT_EQ(widths[2], 360);
    fittedColumnWidths(FileMode, 1000, 21, 144, widths);
    EXPECT_EQ(widths[2], 540) << "at 150% every column scales";
    fittedColumnWidths(QuickDirMode, 777, 21, 144, widths);
    EXPECT_EQ(widths[2], 60);
    EXPECT_EQ(widths[0], 348);
}
