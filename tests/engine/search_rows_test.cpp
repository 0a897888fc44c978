#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <vector>

#include "engine/base/worker_thread.h"
#include "tests/engine/search_fixture.h"

namespace {

const ResultRow kIndexingRow{"Indexing....", "", ""};

std::vector<std::string> threeIdenticalFiles(const TestFolder& folder) {
    folder.write("x", "same bytes");
    folder.write("y", "same bytes");
    folder.write("z", "same bytes");
    std::vector<std::string> order;
    filesInWalkOrder(folder.root().string(), order);
    return order;
}

}  // namespace

TEST(SearchRows, EmptyFolderPutsTheClosingRowAboveIndexing) {
    TestFolder folder;
    SearchState search;
    const auto rows = search.search(folder.root().string());
    EXPECT_EQ(rows, (std::vector<ResultRow>{{"End", "0 twins found", ""}, kIndexingRow}));
    EXPECT_EQ(search.state.progressPercent, 101u);
    EXPECT_EQ(search.state.runState, Idle);
    EXPECT_EQ(search.state.runControl, Running);
}

TEST(SearchRows, OneFileIsFoundAndNeverPaired) {
    TestFolder folder;
    const std::string only = folder.write("only", "content");
    SearchState search;
    const auto rows = search.search(folder.root().string());
    EXPECT_EQ(rows, (std::vector<ResultRow>{{"Start", "1 files found.", ""}, {"End", "0 twins found", ""}}));
    EXPECT_STREQ(search.state.settings.pathA, joined(folder.root().string(), "only").c_str());
}

TEST(SearchRows, ThreeIdenticalFilesGiveThreeTwinsInWalkOrderInEveryMode) {
    TestFolder folder;
    const auto f = threeIdenticalFiles(folder);
    const std::vector<ResultRow> expected{{"Start", "3 files found.", ""},
                                          twinRow(f[0], f[1], "100"),
                                          twinRow(f[0], f[2], "100"),
                                          twinRow(f[1], f[2], "100"),
                                          {"End", "3 twins found", ""}};
    for (const SearchSetup options :
         {SearchSetup{QuickDirMode, true, 95, false}, SearchSetup{QuickDirMode, false, 100, false},
          SearchSetup{DirectoryMode, false, 50, false}}) {
        SearchState search(options);
        EXPECT_EQ(search.search(folder.root().string()), expected) << options.mode << options.useHash;
        EXPECT_EQ(search.state.twinCount, 3u);
        EXPECT_EQ(search.outcome.end, JobEnd::Completed);
        EXPECT_EQ(search.outcome.files, 3u);
        EXPECT_EQ(search.outcome.twins, 3u);
        // The saved pathA names the last file taken as A, not the folder.
        EXPECT_STREQ(search.state.settings.pathA, f[2].c_str());
    }
}

TEST(SearchRows, ProgressRisesToAHundredThenMarksTheEnd) {
    TestFolder folder;
    threeIdenticalFiles(folder);
    folder.write("other", "other bytes");
    for (const SearchSetup options :
         {SearchSetup{QuickDirMode, true, 95, false}, SearchSetup{DirectoryMode, false, 50, false}}) {
        SearchState search(options);
        std::vector<uint32_t> progressAtRow;
        search.list.onInsert = [&](int, const char*) {
            progressAtRow.push_back(search.state.progressPercent);
        };
        search.search(folder.root().string());
        EXPECT_TRUE(std::is_sorted(progressAtRow.begin(), progressAtRow.end()));
        EXPECT_EQ(progressAtRow.front(), 0u);
        EXPECT_EQ(progressAtRow.back(), 100u) << "at the closing row";
        EXPECT_EQ(search.state.progressPercent, 101u);
    }
}

TEST(SearchRows, AbortDuringTheWalkListsNothing) {
    TestFolder folder;
    threeIdenticalFiles(folder);
    SearchState search;
    search.list.onInsert = [&](int, const char* text) {
        if (std::string(text) == "Indexing....") search.abort();
    };
    const auto rows = search.search(folder.root().string());
    EXPECT_EQ(rows, (std::vector<ResultRow>{{"Aborted", "0 twins found", ""}, kIndexingRow}));
    EXPECT_EQ(search.state.runControl, Running);
    EXPECT_EQ(search.state.runState, Idle);
}

TEST(SearchRows, AbortDuringPairingKeepsTheTwinsFoundSoFar) {
    TestFolder folder;
    const auto f = threeIdenticalFiles(folder);
    SearchState search;
    search.list.onInsert = [&](int row, const char* text) {
        if (row == 1 && std::string(text) != "Start") search.abort();
    };
    const auto rows = search.search(folder.root().string());
    EXPECT_EQ(rows, (std::vector<ResultRow>{{"Start", "3 files found.", ""},
                                            twinRow(f[0], f[1], "100"),
                                            {"Aborted", "1 twins found", ""}}));
    EXPECT_EQ(search.outcome.end, JobEnd::Aborted);
    EXPECT_EQ(search.outcome.twins, 1u);
}

TEST(SearchRows, ControlsAreUpdatedWhileBusyAndOnceIdleWithBlocksAlreadyReleased) {
    TestFolder folder;
    threeIdenticalFiles(folder);
    SearchState search;
    std::vector<uint32_t> statesAtUpdate;
    std::vector<uint32_t> statesAtRelease;
    search.state.updateControls = [&] { statesAtUpdate.push_back(search.state.runState); };
    search.state.releaseBlock = [&](uint8_t* block) {
        statesAtRelease.push_back(search.state.runState);
        std::free(block);
    };
    search.state.removeEmptyDirs = 1;
    search.state.checkZeroLength = 1;
    search.search(folder.root().string());
    EXPECT_EQ(statesAtUpdate, (std::vector<uint32_t>{Comparing, Idle}));
    ASSERT_FALSE(statesAtRelease.empty());
    for (uint32_t state : statesAtRelease) EXPECT_NE(state, Idle);
    EXPECT_EQ(search.state.compareBufferA, nullptr);
    EXPECT_EQ(search.state.removeEmptyDirs, 0u);
    EXPECT_EQ(search.state.checkZeroLength, 0u);
}

// The window shows the file in hand while the search rewrites it: every read
// is one whole path, never the start of one and the end of another (the
// folder being read stands for the file in hand until its first file).
TEST(SearchRows, TheFileInHandIsAlwaysReadWhole) {
    TestFolder folder;
    std::vector<std::string> paths{"", folder.root().string()};
    for (int i = 0; i < 40; ++i)
        paths.push_back(folder.write(std::string(1 + i * 7 % 90, 'a' + i % 26), "twin"));
    for (SearchMode mode : {QuickDirMode, DirectoryMode}) {
        SearchState search(SearchSetup{mode});
        std::atomic<bool> finished{false};
        WorkerThread worker;
        worker.start([&] {
            search.start(folder.root().string());
            finished = true;
        });
        uint32_t reads = 0;
        while (!finished || reads == 0) {
            PathText shown;
            search.state.currentFileText.read(shown);
            ASSERT_NE(std::find(paths.begin(), paths.end(), shown), paths.end()) << shown;
            ++reads;
        }
        worker.join();
    }
}
