#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/index/file_index.h"
#include "tests/engine/search_fixture.h"

namespace {

class IndexedFolder {
public:
    explicit IndexedFolder(SearchMode mode) { options.mode = mode; }

    std::vector<std::string> walk(const std::string& folder) {
        indexFolder(state, index, options, folder.c_str());
        std::vector<std::string> paths;
        for (uint32_t i = 0; i < index.count(); ++i) paths.push_back(index.entry(i).path);
        EXPECT_EQ(state.indexCount, index.count());
        return paths;
    }

    SearchOptions options;
    AppState state;
    FileIndex index;
};

void writeNestedFiles(const TestFolder& folder) {
    makeFolder(folder, "sub/deeper");
    folder.write("b.txt", "bbb");
    folder.write(".hidden", "h");
    folder.write("sub/x", "xxxxx");
    folder.write("sub/deeper/y", "yy");
    folder.write("z", "");
}

}  // namespace

TEST(IndexWalk, ListsEveryFileDepthFirstWithListingSizes) {
    TestFolder folder;
    writeNestedFiles(folder);
    const std::string root = folder.root().string();
    std::vector<std::string> expected;
    filesInWalkOrder(root, expected);
    ASSERT_EQ(expected.size(), 5u);

    IndexedFolder quick(QuickDirMode);
    EXPECT_EQ(quick.walk(root), expected);
    PathText current;
    quick.state.currentFileText.read(current);
    EXPECT_STREQ(current, expected.back().c_str());
    EXPECT_EQ(quick.state.filesFound.load(), 5u) << "every file listed is counted as found";
    for (uint32_t i = 0; i < 5; ++i) {
        EXPECT_EQ(quick.index.entry(i).listedSize, std::filesystem::file_size(expected[i])) << expected[i];
    }

    IndexedFolder directory(DirectoryMode);
    EXPECT_EQ(directory.walk(root), expected);
}

TEST(IndexWalk, ATreeListedAheadOfTheWalkIsIndexedInTheWalksOwnOrder) {
    // Wide and deep enough that the listers run ahead of the walk several levels down.
    TestFolder folder;
    for (const char* top : {"a", "b", "c"}) {
        for (const char* middle : {"d", "e", "f"}) {
            for (const char* bottom : {"g", "h"}) {
                const std::string below = std::string(top) + "/" + middle + "/" + bottom;
                makeFolder(folder, below);
                folder.write(below + "/file", below);
            }
            folder.write(std::string(top) + "/" + middle + "/m", "m");
        }
        folder.write(std::string(top) + "/t", "t");
    }
    const std::string root = folder.root().string();
    std::vector<std::string> expected;
    filesInWalkOrder(root, expected);
    ASSERT_EQ(expected.size(), 30u);
    IndexedFolder quick(QuickDirMode);
    EXPECT_EQ(quick.walk(root), expected);
}

TEST(IndexWalk, StopsWhenTheIndexRunsOutOfMemory) {
    TestFolder folder;
    writeNestedFiles(folder);
    makeFolder(folder, "hollow");
    IndexedFolder starved(QuickDirMode);
    starved.state.allocateBlock = [](std::size_t) -> uint8_t* { return nullptr; };
    starved.state.removeEmptyDirs = 1;
    EXPECT_TRUE(starved.walk(folder.root().string()).empty());
    EXPECT_TRUE(starved.index.outOfMemory());
    EXPECT_TRUE(std::filesystem::exists(folder.path("hollow"))) << "a stopped walk removes nothing";
}

TEST(IndexWalk, AbortBeforeAFolderLeavesItUnlistedAndInPlace) {
    TestFolder folder;
    makeFolder(folder, "empty");
    IndexedFolder aborted(QuickDirMode);
    aborted.state.runControl = AbortRequested;
    aborted.state.removeEmptyDirs = 1;
    EXPECT_TRUE(aborted.walk(folder.root().string()).empty());
    EXPECT_TRUE(std::filesystem::exists(folder.path("empty")));
}

TEST(IndexWalk, RemovesFoldersWithoutFilesBottomUp) {
    TestFolder folder;
    makeFolder(folder, "e1/e2/e3");
    makeFolder(folder, "e1/e4");
    makeFolder(folder, "full/empty");
    folder.write("full/f.txt", "f");

    IndexedFolder kept(QuickDirMode);
    kept.walk(folder.root().string());
    EXPECT_TRUE(std::filesystem::exists(folder.path("e1/e2/e3"))) << "removal is off";

    IndexedFolder removing(QuickDirMode);
    removing.state.removeEmptyDirs = 1;
    EXPECT_EQ(removing.walk(folder.root().string()).size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(folder.path("e1")));
    EXPECT_FALSE(std::filesystem::exists(folder.path("full/empty")));
    EXPECT_TRUE(std::filesystem::exists(folder.path("full/f.txt")));
}

TEST(IndexWalk, RemovesTheSearchedFolderItselfWhenNoFileLiesBelow) {
    TestFolder folder;
    makeFolder(folder, "top/a/b");
    makeFolder(folder, "top/c");
    IndexedFolder removing(DirectoryMode);
    removing.state.removeEmptyDirs = 1;
    removing.walk(folder.path("top"));
    EXPECT_FALSE(std::filesystem::exists(folder.path("top")));
    EXPECT_TRUE(std::filesystem::exists(folder.root()));
}

TEST(IndexWalk, OnlyDotAndDotDotAreNotRealFolderNames) {
    EXPECT_EQ(isRealFolderName("."), 0);
    EXPECT_EQ(isRealFolderName(".."), 0);
    EXPECT_EQ(isRealFolderName("..."), 1);
    EXPECT_EQ(isRealFolderName(".git"), 1);
}

// The filter leaves files and folders out as if they were not there: by size,
// and by globs on the path below the searched folder, a folder with all it holds.
TEST(IndexWalk, LeavesOutWhatTheFilterNamesAndNeverRemovesAFolderHoldingIt) {
    TestFolder folder;
    for (const char* name : {"sub/deep", "sub/logs", "old/more", "other", "onlysmall", "empty/deeper"})
        makeFolder(folder, name);
    for (const char* name : {"keep.bin", "a.tmp", "c.tmp", "sub/a.tmp", "sub/deep/c.tmp", "sub/logs/q",
                             "sub/k", "old/x", "old/more/y", "olden", "other/logs"})
        folder.write(name, "12345");
    folder.write("small", "1");
    folder.write("onlysmall/s", "1");
    folder.write("big", "12345678901");
    IndexedFolder filtered(QuickDirMode);
    filtered.options.filter = FileFilter{2, 10, {"*.tmp", "**/c.tmp", "old", "s?b/k", "*/logs/"}};
    filtered.state.removeEmptyDirs = 1;
    const std::string root = folder.root().string();
    std::vector<std::string> paths = filtered.walk(root);
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ(paths, (std::vector<std::string>{joined(root, "keep.bin"), joined(root, "olden"),
                                               joined(joined(root, "other"), "logs"),
                                               joined(joined(root, "sub"), "a.tmp")}));
    EXPECT_TRUE(std::filesystem::exists(folder.path("onlysmall/s")));
    EXPECT_TRUE(std::filesystem::exists(folder.path("old/more/y")));
    EXPECT_FALSE(std::filesystem::exists(folder.path("empty")));

    EXPECT_TRUE(globMatches("a/**/b", "a/b"));
    EXPECT_TRUE(globMatches("a/**/b", "a/x/y/b"));
    EXPECT_TRUE(globMatches("**", "a/b"));
    EXPECT_FALSE(globMatches("*", "a/b"));
    EXPECT_FALSE(globMatches("a?b", "a/b"));
}

#ifndef _WIN32
TEST(IndexWalk, SkipsPathsThatDoNotFitAPathText) {
    TestFolder folder;
    std::string deep;
    while (folder.root().string().size() + deep.size() < 550) deep += "/" + std::string(40, 'd');
    makeFolder(folder, deep.substr(1));
    const std::string deepFolder = folder.root().string() + deep;
    const std::string fits = deepFolder + "/short";
    const std::string tooLong = deepFolder + "/" + std::string(600 - deepFolder.size(), 'n');
    folder.write(fits.substr(folder.root().string().size() + 1), "s");
    folder.write(tooLong.substr(folder.root().string().size() + 1), "l");

    IndexedFolder quick(QuickDirMode);
    EXPECT_EQ(quick.walk(folder.root().string()), std::vector<std::string>{fits});
}

TEST(IndexWalk, AFolderWhoseFileWasSkippedStaysWithItsAttributesReset) {
    TestFolder folder;
    const std::string top = folder.path(std::string(250, 't'));
    const std::string stuck = top + "/" + std::string(250, 's');
    std::filesystem::create_directories(stuck);
    const std::string unlisted = stuck + "/" + std::string(250, 'u');  // longer than a path text
    std::ofstream(unlisted) << "kept";
    std::filesystem::permissions(stuck,
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);

    IndexedFolder removing(QuickDirMode);
    removing.state.removeEmptyDirs = 1;
    removing.options.overrideReadOnly = true;
    EXPECT_TRUE(removing.walk(top).empty());
    EXPECT_TRUE(std::filesystem::exists(unlisted));
    const auto perms = std::filesystem::status(stuck).permissions();
    EXPECT_NE(perms & std::filesystem::perms::owner_write, std::filesystem::perms::none);
}

TEST(IndexWalk, NeverRemovesAFolderReachedThroughALink) {
    TestFolder outside;
    makeFolder(outside, "empty/deeper");
    TestFolder folder;
    makeFolder(folder, "real/empty");
    folder.write("real/f", "f");
    std::filesystem::create_directory_symlink(outside.root(), folder.path("real/out"));
    std::filesystem::create_directory_symlink(outside.path("empty"), folder.path("hollow"));
    IndexedFolder removing(QuickDirMode);
    removing.state.removeEmptyDirs = 1;
    EXPECT_EQ(removing.walk(folder.root().string()), std::vector<std::string>{folder.path("real/f")});
    EXPECT_FALSE(std::filesystem::exists(folder.path("real/empty")));
    EXPECT_TRUE(std::filesystem::exists(outside.path("empty/deeper")));
}

TEST(IndexWalk, LeavesALinkBackToAnOpenFolderAlone) {
    TestFolder folder;
    makeFolder(folder, "a");
    folder.write("a/f", "f");
    std::filesystem::create_directory_symlink(folder.root(), folder.path("a/loop"));
    IndexedFolder quick(QuickDirMode);
    EXPECT_EQ(quick.walk(folder.root().string()), std::vector<std::string>{folder.path("a/f")});
}
#endif
