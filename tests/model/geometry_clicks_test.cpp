#include <gtest/gtest.h>

#include "engine/settings.h"
#include "window/clicks_model.h"

TEST(ClickAction, TheZoneUnderTheReleaseDecidesWhereSuchAClickIsPossible) {
    EXPECT_EQ(clickAction(Zone::None, true, 0), ClickAction::None);
    EXPECT_EQ(clickAction(Zone::ChooseB, true, 0), ClickAction::Choose);
    EXPECT_EQ(clickAction(Zone::Switch, true, 0), ClickAction::SwitchMode);
    EXPECT_EQ(clickAction(Zone::StartAbort, true, 0), ClickAction::StartOrAbort);
    EXPECT_EQ(clickAction(Zone::StartAbort, false, 0), ClickAction::StartOrAbort);
    EXPECT_EQ(clickAction(Zone::AboutPause, false, 0), ClickAction::AboutOrPause);
    EXPECT_EQ(clickAction(Zone::AboutPause, true, 1), ClickAction::None) << "About is already open";
    EXPECT_EQ(clickAction(Zone::Help, true, 0), ClickAction::Help);
    // During a job, Help, Choose and the switch do nothing, so a job can never
    // lose its paths or mode under it.
    EXPECT_EQ(clickAction(Zone::Help, false, 0), ClickAction::None);
    EXPECT_EQ(clickAction(Zone::ChooseA, false, 0), ClickAction::None);
    EXPECT_EQ(clickAction(Zone::Switch, false, 0), ClickAction::None);
}

TEST(FileDrop, FilesAlternateBetweenTheBoxesInFileMode) {
    uint32_t toggle = 0;
    EXPECT_EQ(dropTarget("C:\\a.txt", FileMode, toggle), DropBox::BoxA);
    EXPECT_EQ(toggle, 1u);
    EXPECT_EQ(dropTarget("C:\\b.txt", FileMode, toggle), DropBox::BoxB);
    EXPECT_EQ(toggle, 0u);
    EXPECT_EQ(dropTarget("C:\\c.txt", FileMode, toggle), DropBox::BoxA);
    // A folder in File mode changes nothing, the toggle included.
    EXPECT_EQ(dropTarget("C:\\Photos", FileMode, toggle), DropBox::None);
    EXPECT_EQ(toggle, 1u);
    EXPECT_EQ(dropTarget("C:\\d.txt", FileMode, toggle), DropBox::BoxB);
}

TEST(FileDrop, DirectoryModesTakeFoldersOnlyJudgedByAnyDotInThePath) {
    uint32_t toggle = 1;
    EXPECT_EQ(dropTarget("C:\\Photos", DirectoryMode, toggle), DropBox::BoxA);
    EXPECT_EQ(dropTarget("C:\\Data\\README", QuickDirMode, toggle), DropBox::BoxA);
    EXPECT_EQ(dropTarget("C:\\My.Files\\Photos", DirectoryMode, toggle), DropBox::None);
    EXPECT_EQ(dropTarget("C:\\a.txt", QuickDirMode, toggle), DropBox::None);
    EXPECT_EQ(toggle, 1u) << "the toggle moves only with files dropped in File mode";
}
