#include <gtest/gtest.h>

#include "engine/job/settings.h"
#include "window/clicks_model.h"
#include "window/keyboard_model.h"

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

// A key never does what its button's click could not do at that moment:
// Pause while idle would open About, Enter during a job would abort it.
TEST(ShortcutKeys, EachKeyStandsForItsButtonOnlyWhereItsClickIsPossible) {
    const uint32_t enter = 0x0D, pause = 0x13, escape = 0x1B, f1 = 0x70, f2 = 0x71, f4 = 0x73, f6 = 0x75;
    const KeyFocus boxA = KeyFocus::PathBoxA, boxB = KeyFocus::PathBoxB, other = KeyFocus::Other;
    EXPECT_EQ(shortcutZone(enter, boxA, true, QuickDirMode), Zone::StartAbort);
    EXPECT_EQ(shortcutZone(enter, other, true, FileMode), Zone::None) << "Enter in the list starts nothing";
    EXPECT_EQ(shortcutZone(enter, boxA, false, FileMode), Zone::None);
    EXPECT_EQ(shortcutZone(escape, other, false, FileMode), Zone::StartAbort);
    EXPECT_EQ(shortcutZone(escape, boxA, true, FileMode), Zone::None);
    for (uint32_t key : {pause, f6}) {
        EXPECT_EQ(shortcutZone(key, other, false, FileMode), Zone::AboutPause);
        EXPECT_EQ(shortcutZone(key, other, true, FileMode), Zone::None);
    }
    EXPECT_EQ(shortcutZone(f1, other, true, FileMode), Zone::Help);
    EXPECT_EQ(shortcutZone(f1, other, false, FileMode), Zone::None);
    EXPECT_EQ(shortcutZone(f2, boxB, true, FileMode), Zone::Switch);
    EXPECT_EQ(shortcutZone(f2, other, false, FileMode), Zone::None);
    EXPECT_EQ(shortcutZone(f4, boxA, true, DirectoryMode), Zone::ChooseA);
    EXPECT_EQ(shortcutZone(f4, boxB, true, FileMode), Zone::ChooseB);
    EXPECT_EQ(shortcutZone(f4, boxB, true, QuickDirMode), Zone::None);
    EXPECT_EQ(shortcutZone(f4, other, true, FileMode), Zone::None);
    EXPECT_EQ(shortcutZone(f4, boxA, false, FileMode), Zone::None);
    EXPECT_EQ(shortcutZone('A', boxA, true, FileMode), Zone::None);
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
