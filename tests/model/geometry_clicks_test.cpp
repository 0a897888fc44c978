#include <gtest/gtest.h>

#include "engine/settings.h"
#include "window/clicks_model.h"

TEST(ClickAction, FirstLitButtonInOrderDecides) {
    HoverFlags flags;
    EXPECT_EQ(clickAction(flags, true, 0), ClickAction::None);
    flags.hoverHelp = 1;
    EXPECT_EQ(clickAction(flags, true, 0), ClickAction::Help);
    flags.hoverAboutPause = 1;
    EXPECT_EQ(clickAction(flags, true, 0), ClickAction::AboutOrPause);
    EXPECT_EQ(clickAction(flags, true, 1), ClickAction::Help) << "an open About box skips to the next test";
    flags.hoverStartAbort = 1;
    EXPECT_EQ(clickAction(flags, false, 0), ClickAction::StartOrAbort);
    flags.hoverSwitch = 1;
    EXPECT_EQ(clickAction(flags, true, 0), ClickAction::SwitchMode);
    flags.hoverChooseB = 1;
    EXPECT_EQ(clickAction(flags, true, 0), ClickAction::Choose);
}

TEST(ClickAction, ButtonsLeftLitFromBeforeAJobCannotChangePathsOrMode) {
    HoverFlags flags;
    flags.hoverChooseA = 1;
    flags.hoverSwitch = 1;
    EXPECT_EQ(clickAction(flags, false, 0), ClickAction::None);
    flags.hoverStartAbort = 1;
    EXPECT_EQ(clickAction(flags, false, 0), ClickAction::StartOrAbort);
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
