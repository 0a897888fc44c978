// Files and folders dropped on the main window.
#include <string>

#include "tests/gui/main_window_helpers.h"
#include "window/main_window.h"

namespace {

class DropOnFolderSearch : public GuiTest {
protected:
    void prepareSettings(Settings& settings) override { settings.searchMode = DirectoryMode; }
};

}  // namespace

TEST_F(GuiTest, DroppedFilesAlternateBetweenTheBoxesAndEveryDropIsReleased) {
    EXPECT_TRUE(dropNames(window(), {"C:\\one.txt", "C:\\ignored.txt"}));
    EXPECT_EQ(boxText(window(), kPathBoxAId), "C:\\one.txt");
    EXPECT_TRUE(dropNames(window(), {"C:\\two.txt"}));
    EXPECT_EQ(boxText(window(), kPathBoxBId), "C:\\two.txt");
    EXPECT_TRUE(dropNames(window(), {"C:\\Photos"})) << "a folder in File mode";
    EXPECT_TRUE(dropNames(window(), {"C:\\three.txt"}));
    EXPECT_EQ(boxText(window(), kPathBoxAId), "C:\\three.txt");
    EXPECT_EQ(boxText(window(), kPathBoxBId), "C:\\two.txt");

    // A name longer than a path text is left out, not cut short.
    EXPECT_TRUE(dropNames(window(), {"C:\\" + std::string(650, 'x') + ".txt"}));
    EXPECT_EQ(boxText(window(), kPathBoxBId), "C:\\two.txt");
}

TEST_F(DropOnFolderSearch, DirectoryModesTakeFoldersIntoBox1002Only) {
    EXPECT_TRUE(dropNames(window(), {"C:\\Data\\README"}));
    EXPECT_EQ(boxText(window(), kPathBoxAId), "C:\\Data\\README");
    EXPECT_TRUE(dropNames(window(), {"C:\\My.Files\\Photos"}));
    EXPECT_EQ(boxText(window(), kPathBoxAId), "C:\\Data\\README") << "any dot makes it a file";
}

TEST_F(DropOnFolderSearch, ADropDuringAJobChangesNothingAndIsReleased) {
    startHeldSearch(window(), dataFolder());
    ASSERT_NE(app().runState, uint32_t{Idle});
    const std::string searched = boxText(window(), kPathBoxAId);
    EXPECT_TRUE(dropNames(window(), {"C:\\Dropped"}));
    EXPECT_EQ(boxText(window(), kPathBoxAId), searched);
    clickAt(window(), startAbortPoint());
    ASSERT_TRUE(waitIdle());
    EXPECT_TRUE(dropNames(window(), {"C:\\After"}));
    EXPECT_EQ(boxText(window(), kPathBoxAId), "C:\\After");
}
