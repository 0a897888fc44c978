// "Delete ALL" runs to the end in each mode, and never costs the last copy.
#include <algorithm>

#include "resources/version.h"
#include "tests/gui/batch_delete_fixture.h"

class BatchModesTest : public BatchDeleteTest {
protected:
    // Starts the batch and waits for the confirmation to close by itself and
    // for the summary that follows it: "... `counts` files ... `kept`".
    void startAndWait(char column, uint32_t mode, const std::string& counts, const std::string& kept) {
        std::string shown;
        DialogAnswerer answers(
            {{KESTROW_TITLE, IDOK, window()},
             {KESTROW_TITLE, IDOK, window(), [&](HWND box) { shown = dialogItemText(box, 0xFFFF); }}});
        confirmDeleteAll(column, mode);
        EXPECT_TRUE(answers.finish());
        EXPECT_NE(shown.find(" " + counts + " file"), std::string::npos) << shown;
        EXPECT_EQ(shown.substr(std::min(shown.find("Kept"), shown.size())), kept) << shown;
        EXPECT_EQ(listedRows(), 0);
        EXPECT_EQ(app().runState, Idle);
    }
};

TEST_F(BatchModesTest, DeleteRemovesOnlyTheFullMatchesOfTheColumn) {
    writeTwins(kMixedTwins);
    startAndWait('A', DeleteMode, "2 of 2", "Kept 0.");
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

    startAndWait('B', MoveToMode, "1 of 2", "Kept 1: 1 that could not be removed.");
    EXPECT_EQ(std::string(app().settings.moveDirectory), file("moved\\"));
    EXPECT_FALSE(exists("b\\1"));  // a one-character name moves like any other
    EXPECT_EQ(content("moved\\1"), "content of 100");
    EXPECT_EQ(content("b\\3.txt"), "content of 100");
    EXPECT_EQ(content("moved\\3.txt"), "already there");
    EXPECT_TRUE(exists("a\\1") && exists("a\\3.txt"));
}

TEST_F(BatchModesTest, MoveToWithoutAFolderLeavesEveryFile) {
    writeTwins({{"a\\1.txt", "b\\1.txt", "100"}});
    startAndWait('A', MoveToMode, "0 of 1", "Kept 1: 1 that could not be removed.");
    EXPECT_EQ(std::string(app().settings.moveDirectory), "");
    EXPECT_TRUE(exists("a\\1.txt"));
}

TEST_F(BatchModesTest, RecycleTakesTheFilesOutOfTheirFolder) {
    writeTwins(kMixedTwins);
    startAndWait('A', RecycleMode, "2 of 2", "Kept 0.");
    EXPECT_FALSE(exists("a\\1.txt"));
    EXPECT_TRUE(exists("a\\2.txt"));
    EXPECT_FALSE(exists("a\\3.txt"));
    EXPECT_TRUE(exists("b\\1.txt") && exists("b\\3.txt"));
}

TEST_F(BatchModesTest, NeverRemovesAFileWhoseTwinIsGoneOrChanged) {
    for (uint32_t mode : {DeleteMode, RecycleMode}) {
        writeTwins({{"a\\1.txt", "b\\1.txt", "100"},
                    {"a\\2.txt", "b\\2.txt", "100"},
                    {"a\\3.txt", "b\\3.txt", "100"},
                    {"a\\4.txt", "b\\4.txt", "100"},
                    {"a\\5.txt", "b\\5.txt", "100"}});
        // After the search: one twin removed, one grown, one rewritten in place
        // with other bytes of the same size, one replaced by another file of
        // that size; the fifth pair is untouched.
        DeleteFileA(file("b\\1.txt").c_str());
        writeFile("b\\2.txt", "content of 100 and more");
        writeFile("b\\3.txt", "content of 999");
        DeleteFileA(file("b\\4.txt").c_str());
        writeFile("b\\4.txt", "CONTENT OF 100");
        startAndWait('A', mode, "1 of 5", "Kept 4: 4 whose twin was missing or no longer the same.");
        for (const char* kept : {"a\\1.txt", "a\\2.txt", "a\\3.txt", "a\\4.txt"}) {
            EXPECT_EQ(content(kept), "content of 100") << kept << " mode " << mode;
        }
        EXPECT_FALSE(exists("a\\5.txt")) << "mode " << mode;
        EXPECT_TRUE(exists("b\\5.txt")) << "mode " << mode;
    }
}

TEST_F(BatchModesTest, ACrossedPairKeepsOneCopyInEveryMode) {
    // The same two files listed both ways round: the second row's twin is the
    // file the first row removes.
    CreateDirectoryA(file("moved").c_str(), nullptr);
    copyPathText(app().settings.moveDirectory, file("moved\\").c_str());
    for (uint32_t mode : {RecycleMode, DeleteMode, MoveToMode}) {
        writeTwins({{"a\\x", "b\\y", "100"}, {"b\\y", "a\\x", "100"}});
        startAndWait('A', mode, "1 of 2", "Kept 1: 1 whose twin was missing or no longer the same.");
        EXPECT_NE(exists("a\\x"), exists("b\\y")) << "mode " << mode;
        DeleteFileA(file("a\\x").c_str());
        DeleteFileA(file("b\\y").c_str());
    }
}

TEST_F(BatchModesTest, CopiesListedInEveryPairAreEachActedOnAndCountedOnce) {
    // Four copies listed as the search lists them, every pair; the fourth
    // changed since, so the message tells the counts.
    std::vector<ListedTwin> pairs;
    for (int a = 0; a < 4; ++a) {
        for (int b = a + 1; b < 4; ++b) {
            pairs.push_back({"a\\" + std::to_string(a), "a\\" + std::to_string(b), "100"});
        }
    }
    for (uint32_t mode : {DeleteMode, RecycleMode}) {
        for (char column : {'A', 'B'}) {
            writeTwins(pairs);
            writeFile("a\\3", "CONTENT OF 100");
            startAndWait(column, mode, "2 of 3", "Kept 1: 1 whose twin was missing or no longer the same.");
            // Column A keeps the last of the same three, column B the first.
            const char* left = column == 'A' ? "a\\2" : "a\\0";
            for (const char* name : {"a\\0", "a\\1", "a\\2"}) {
                EXPECT_EQ(exists(name), std::string(name) == left)
                    << name << " column " << column << " mode " << mode;
            }
            EXPECT_EQ(content("a\\3"), "CONTENT OF 100");
        }
    }
}
