// "Delete ALL" runs to the end in each mode, and never costs the last copy.
#include "resources/version.h"
#include "tests/gui/batch_delete_fixture.h"

class BatchModesTest : public BatchDeleteTest {
protected:
    // Starts the batch and waits for the confirmation to close by itself.
    void startAndWait(char column, uint32_t mode) {
        DialogAnswerer answers({{KESTROW_TITLE, IDOK, window()}});
        confirmDeleteAll(column, mode);
        EXPECT_TRUE(answers.finish());
        EXPECT_EQ(listedRows(), 0);
        EXPECT_EQ(app().runState, Idle);
    }
};

TEST_F(BatchModesTest, DeleteRemovesOnlyTheFullMatchesOfTheColumn) {
    writeTwins(kMixedTwins);
    startAndWait('A', DeleteMode);
    EXPECT_FALSE(exists("a\\1.txt"));
    EXPECT_TRUE(exists("a\\2.txt"));
    EXPECT_FALSE(exists("a\\3.txt"));
    for (const char* kept : {"b\\1.txt", "b\\2.txt", "b\\3.txt"}) EXPECT_TRUE(exists(kept)) << kept;
}

TEST_F(BatchModesTest, MoveToMovesIntoTheFolderAndNeverReplacesAFile) {
    writeTwins({{"a\\1", "b\\1", "100"}, {"a\\3.txt", "b\\3.txt", "100"}});
    CreateDirectoryA(file("moved").c_str(), nullptr);
    writeFile("moved\\3.txt", "already there");
    copyPathText(app().settings.moveDirectory, file("moved").c_str());

    startAndWait('B', MoveToMode);
    EXPECT_EQ(std::string(app().settings.moveDirectory), file("moved\\"));
    EXPECT_FALSE(exists("b\\1"));  // a one-character name moves like any other
    EXPECT_EQ(content("moved\\1"), "content of 100");
    EXPECT_EQ(content("b\\3.txt"), "content of 100");
    EXPECT_EQ(content("moved\\3.txt"), "already there");
    EXPECT_TRUE(exists("a\\1") && exists("a\\3.txt"));
}

TEST_F(BatchModesTest, MoveToWithoutAFolderLeavesEveryFile) {
    writeTwins({{"a\\1.txt", "b\\1.txt", "100"}});
    startAndWait('A', MoveToMode);
    EXPECT_EQ(std::string(app().settings.moveDirectory), "");
    EXPECT_TRUE(exists("a\\1.txt"));
}

TEST_F(BatchModesTest, RecycleTakesTheFilesOutOfTheirFolder) {
    writeTwins(kMixedTwins);
    startAndWait('A', RecycleMode);
    EXPECT_FALSE(exists("a\\1.txt"));
    EXPECT_TRUE(exists("a\\2.txt"));
    EXPECT_FALSE(exists("a\\3.txt"));
    EXPECT_TRUE(exists("b\\1.txt") && exists("b\\3.txt"));
}

TEST_F(BatchModesTest, NeverRemovesAFileWhoseTwinIsGoneOrChanged) {
    writeTwins(
        {{"a\\1.txt", "b\\1.txt", "100"}, {"a\\2.txt", "b\\2.txt", "100"}, {"a\\3.txt", "b\\3.txt", "100"}});
    // After the search: one twin removed, one grown.
    DeleteFileA(file("b\\1.txt").c_str());
    writeFile("b\\2.txt", "content of 100 and more");
    startAndWait('A', DeleteMode);
    EXPECT_TRUE(exists("a\\1.txt"));
    EXPECT_TRUE(exists("a\\2.txt"));
    EXPECT_FALSE(exists("a\\3.txt"));
}

TEST_F(BatchModesTest, ACrossedPairKeepsOneCopyInEveryMode) {
    // The same two files listed both ways round: the second row's twin is the
    // file the first row removes.
    CreateDirectoryA(file("moved").c_str(), nullptr);
    copyPathText(app().settings.moveDirectory, file("moved\\").c_str());
    for (uint32_t mode : {RecycleMode, DeleteMode, MoveToMode}) {
        writeTwins({{"a\\x", "b\\y", "100"}, {"b\\y", "a\\x", "100"}});
        startAndWait('A', mode);
        EXPECT_NE(exists("a\\x"), exists("b\\y")) << "mode " << mode;
        DeleteFileA(file("a\\x").c_str());
        DeleteFileA(file("b\\y").c_str());
    }
}
