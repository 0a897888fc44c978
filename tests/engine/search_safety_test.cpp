#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <new>
#include <string>
#include <vector>

#include "engine/base/worker_thread.h"
#include "engine/compare/compare_files.h"
#include "engine/index/file_index.h"
#include "tests/engine/memory_shortage.h"
#include "tests/engine/search_fixture.h"

namespace {

const ResultRow kNoTwinsEnd{"End", "0 twins found", ""};

}  // namespace

namespace {

std::vector<ResultRow> pairRows(const std::vector<ResultRow>& rows) {
    return rows.size() < 2 ? rows : std::vector<ResultRow>(rows.begin() + 1, rows.end() - 1);
}

}  // namespace

#ifndef _WIN32
TEST(SearchSafety, PathsNamingOneFileAreNeverTwins) {
    TestFolder folder;
    makeFolder(folder, "a");
    folder.write("a/f", "the one file");
    std::filesystem::create_hard_link(folder.path("a/f"), folder.path("hard"));
    std::filesystem::create_symlink(folder.path("a/f"), folder.path("soft"));
    std::filesystem::create_directory_symlink(folder.path("a"), folder.path("again"));
    for (const SearchSetup options :
         {SearchSetup{QuickDirMode, true, 50, false}, SearchSetup{QuickDirMode, false, 50, false},
          SearchSetup{DirectoryMode, false, 50, false}}) {
        SearchState search(options);
        const auto rows = search.search(folder.root().string());
        EXPECT_EQ(rows, (std::vector<ResultRow>{{"Start", "4 files found.", ""}, kNoTwinsEnd}));
    }
}

// Also past the first piece a "Quick Dir" search reads, where the second name
// of a file is read no further and takes its first name's class and checksum.
TEST(SearchSafety, ARealCopyPairsWithEveryNameOfTheOriginal) {
    for (const std::size_t size : {std::size_t{12}, std::size_t{300000}}) {
        TestFolder folder;
        std::vector<uint8_t> bytes(size);
        for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + i / 1000);
        folder.write("a", bytes);
        std::filesystem::create_hard_link(folder.path("a"), folder.path("b"));
        folder.write("c", bytes);
        folder.write("d", bytes);
        std::filesystem::create_hard_link(folder.path("d"), folder.path("e"));
        const std::string root = folder.root().string();
        auto path = [&](const char* name) { return joined(root, name); };
        const std::vector<ResultRow> expected{
            twinRow(path("a"), path("c"), "100"), twinRow(path("a"), path("d"), "100"),
            twinRow(path("a"), path("e"), "100"), twinRow(path("b"), path("c"), "100"),
            twinRow(path("b"), path("d"), "100"), twinRow(path("b"), path("e"), "100"),
            twinRow(path("c"), path("d"), "100"), twinRow(path("c"), path("e"), "100")};
        // Below 100% checksums narrow the pairs too.
        for (const uint32_t match : {100u, 90u}) {
            SearchState search({QuickDirMode, true, match, false});
            EXPECT_EQ(pairRows(search.search(root)), expected) << size << " match " << match;
        }
    }
}

// The largest size below 4 GiB is a size like any other, not a file that cannot be opened.
TEST(SearchSafety, FilesOfTheLargestComparedSizePair) {
    TestFolder folder;
    for (const char* name : {"x", "y", "z"}) {
        folder.write(name, "");
        std::filesystem::resize_file(folder.path(name), 0xFFFFFFFFull);  // sparse: all zeros
    }
    SearchState search({QuickDirMode, true, 100, false});
    // Every read delivers what it was asked for without touching the disk; the pieces stay zero.
    search.state.readBlock = [](fs::File*, void*, uint32_t count) { return int64_t{count}; };
    const std::string root = folder.root().string();
    auto path = [&](const char* name) { return joined(root, name); };
    EXPECT_EQ(pairRows(search.search(root)), (std::vector<ResultRow>{twinRow(path("x"), path("y"), "100"),
                                                                     twinRow(path("x"), path("z"), "100"),
                                                                     twinRow(path("y"), path("z"), "100")}));
}
#endif

TEST(SearchSafety, APairCutShortByAnAbortIsNeverListed) {
    for (const bool useHash : {true, false}) {
        TestFolder folder;
        const std::vector<uint8_t> bytes(1100000, 0x41);
        folder.write("a", bytes);
        folder.write("b", bytes);
        SearchState search({QuickDirMode, useHash, 95, false});
        search.state.readBlock = [&](fs::File* file, void* buffer, uint32_t count) {
            search.abort();
            return fs::readFile(file, buffer, count);
        };
        const auto rows = search.search(folder.root().string());
        EXPECT_EQ(rows,
                  (std::vector<ResultRow>{{"Start", "2 files found.", ""}, {"Aborted", "0 twins found", ""}}))
            << useHash;
    }
}

TEST(SearchSafety, AFileThatGrowsAfterTheWalkIsComparedAtItsNewSize) {
    for (const SearchSetup options :
         {SearchSetup{QuickDirMode, true, 50, false}, SearchSetup{QuickDirMode, false, 100, false},
          SearchSetup{DirectoryMode, false, 50, false}}) {
        TestFolder folder;
        const std::string a = folder.write("a", "0123456789");
        const std::string b = folder.write("b", "0123456789");
        SearchState search(options);
        search.list.onInsert = [&](int, const char* text) {
            if (std::string(text) == "Start") std::ofstream(b, std::ios::app) << "grown";
        };
        const auto rows = search.search(folder.root().string());
        const std::vector<ResultRow> twins = options.mode == DirectoryMode
                                                 ? std::vector<ResultRow>{twinRow(a, b, "66")}
                                                 : std::vector<ResultRow>{};
        EXPECT_EQ(pairRows(rows), twins) << options.mode << options.useHash;
    }
}

TEST(SearchSafety, APairThatFailsToReadIsNeverListed) {
    for (const bool useHash : {true, false}) {
        TestFolder folder;
        folder.write("a", "identical");
        folder.write("b", "identical");
        SearchState search({QuickDirMode, useHash, 1, false});
        search.state.readBlock = [](fs::File* file, void* buffer, uint32_t count) {
            const int64_t got = fs::readFile(file, buffer, count);
            return got > 0 ? got - 1 : got;
        };
        const auto rows = search.search(folder.root().string());
        EXPECT_EQ(rows, (std::vector<ResultRow>{{"Start", "2 files found.", ""}, kNoTwinsEnd})) << useHash;
    }
}

namespace {

// Refuses every block of `refused` bytes and counts the blocks held.
void refuseBlocksOf(AppState& state, std::size_t refused, int& held) {
    state.allocateBlock = [refused, &held](std::size_t bytes) -> uint8_t* {
        if (bytes == refused) return nullptr;
        ++held;
        return static_cast<uint8_t*>(std::calloc(bytes, 1));
    };
    state.releaseBlock = [&held](uint8_t* block) {
        --held;
        std::free(block);
    };
}

}  // namespace

TEST(SearchSafety, NoMemoryReleasesWhatWasObtainedAndEndsIdle) {
    TestFolder folder;
    folder.write("a", "x");
    {
        const std::size_t refused = kSearchBufferSize;
        SearchState search;
        int held = 0;
        int reports = 0;
        int updates = 0;
        refuseBlocksOf(search.state, refused, held);
        search.state.reportNoMemory = [&] { ++reports; };
        search.state.updateControls = [&] { ++updates; };
        EXPECT_TRUE(search.search(folder.root().string()).empty());
        EXPECT_EQ(reports, 1);
        EXPECT_EQ(search.outcome.end, JobEnd::NoMemory);
        EXPECT_EQ(held, 0);
        EXPECT_EQ(updates, 2);
        EXPECT_EQ(search.state.runState, Idle);
        EXPECT_EQ(search.state.runControl, Running);
    }
}

TEST(SearchSafety, AnIndexOutOfMemoryStopsTheWalkAndEndsAborted) {
    TestFolder folder;
    folder.write("a", "twin");
    folder.write("b", "twin");
    SearchState search;
    int held = 0;
    int reports = 0;
    refuseBlocksOf(search.state, kIndexPathBlockBytes, held);
    search.state.reportNoMemory = [&] { ++reports; };
    EXPECT_EQ(search.search(folder.root().string()),
              (std::vector<ResultRow>{{"Aborted", "0 twins found", ""}, {"Indexing....", "", ""}}));
    EXPECT_EQ(reports, 1);
    EXPECT_EQ(held, 0);
    EXPECT_EQ(search.state.runState, Idle);
    EXPECT_EQ(search.state.runControl, Running);
}

namespace {

// A row store whose memory runs out once it holds `room` twin rows.
class CrampedList : public ResultStore {
public:
    void insertTwinRow(int row, const TwinRecord& twin) override {
        if (twins_ == room) throw std::bad_alloc();
        ResultStore::insertTwinRow(row, twin);
        ++twins_;
    }
    int room = -1;

private:
    int twins_ = 0;
};

// Refuses the `failing`-th block the search asks for and every later one, counting them.
void runOutOfBlocks(AppState& state, int failing, int& asked, int& held) {
    state.allocateBlock = [failing, &asked, &held](std::size_t bytes) -> uint8_t* {
        if (++asked >= failing && failing > 0) return nullptr;
        ++held;
        return static_cast<uint8_t*>(std::calloc(bytes, 1));
    };
    state.releaseBlock = [&held](uint8_t* block) {
        --held;
        std::free(block);
    };
}

// What holds whenever memory ran out in a search: said once, every block
// given back, idle, and either every row or the twin rows found so far
// closed by "Aborted" (no rows at all when not even the buffers were had).
void expectRowsSoFar(const SearchState& search, const std::vector<ResultRow>& rows, int reports, int held,
                     const std::vector<ResultRow>& wholeRows, const std::string& at) {
    EXPECT_EQ(held, 0) << at;
    EXPECT_EQ(search.state.runState, Idle) << at;
    ASSERT_LE(reports, 1) << at;
    EXPECT_EQ(search.outcome.end == JobEnd::NoMemory, reports == 1) << at;
    if (reports == 0) {
        EXPECT_EQ(rows, wholeRows) << at;
        return;
    }
    if (rows.empty()) return;
    const bool started = rows.front()[0] == "Start";
    EXPECT_EQ(started ? rows.back()[0] : rows.front()[0], "Aborted") << at;
    const auto listed = pairRows(rows);
    const auto twins = pairRows(wholeRows);
    if (started) {
        EXPECT_TRUE(listed.size() <= twins.size() && std::equal(listed.begin(), listed.end(), twins.begin()))
            << at;
    }
}

}  // namespace

// Wherever memory runs out (the buffers, the walk, the listing, the pieces,
// the pairing, the rows), by a block refused or by any other request for
// memory failing, the search keeps the rows so far.
TEST(SearchSafety, RunningOutOfMemoryAnywhereKeepsTheRowsSoFarAndEndsAborted) {
    TestFolder folder;
    for (const char* name : {"a", "b", "c", "d"}) folder.write(name, std::string(3000, 'x'));
    folder.write("e", std::string(2999, 'x') + "y");
    folder.write("f", std::string(2990, 'x'));
    for (const SearchSetup options :
         {SearchSetup{QuickDirMode, true, 95, false}, SearchSetup{QuickDirMode, false, 95, false},
          SearchSetup{DirectoryMode, false, 95, false}, SearchSetup{DirectoryMode, false, 50, false}}) {
        SearchState whole(options);
        int asked = 0, held = 0;
        runOutOfBlocks(whole.state, 0, asked, held);
        const auto wholeRows = whole.search(folder.root().string());
        ASSERT_EQ(wholeRows.back()[0], "End");
        const auto twins = pairRows(wholeRows);
        const int blocks = asked;
        for (int failing = 1; failing <= blocks + 1; ++failing) {
            SearchState search(options);
            int reports = 0;
            asked = held = 0;
            search.state.reportNoMemory = [&] { ++reports; };
            runOutOfBlocks(search.state, failing, asked, held);
            const auto rows = search.search(folder.root().string());
            expectRowsSoFar(search, rows, reports, held, wholeRows,
                            std::to_string(options.mode) + " block " + std::to_string(failing));
        }
        const std::string root = folder.root().string();
        long requests = 0;
        {
            SearchState counted(options);
            MemoryShortage none(0);
            counted.start(root);
            requests = none.asked();
        }
        for (long failing = 1; failing <= requests; ++failing) {
            SearchState search(options);
            int reports = 0;
            search.state.reportNoMemory = [&] { ++reports; };
            {
                MemoryShortage shortage(failing);
                search.start(root);
            }
            expectRowsSoFar(search, search.list.rows(), reports, 0, wholeRows,
                            std::to_string(options.mode) + " request " + std::to_string(failing));
        }
        for (int room = 0; room < static_cast<int>(twins.size()); ++room) {
            SearchState search(options);
            CrampedList cramped;
            cramped.room = room;
            search.state.results = &cramped;
            int reports = 0;
            search.state.reportNoMemory = [&] { ++reports; };
            search.start(folder.root().string());
            auto expected = std::vector<ResultRow>{wholeRows.front()};
            expected.insert(expected.end(), twins.begin(), twins.begin() + room);
            expected.push_back({"Aborted", std::to_string(room) + " twins found", ""});
            EXPECT_EQ(cramped.rows(), expected) << options.mode << " room " << room;
            EXPECT_EQ(reports, 1);
        }
    }
}

TEST(SearchSafety, ASearchEndingWhilePausedLeavesTheGateOpen) {
    TestFolder folder;
    SearchState search;
    search.state.runControl = Paused;
    search.state.pauseGate.closeGate();
    const auto rows = search.search(folder.root().string());
    EXPECT_EQ(rows.front(), (ResultRow{"Aborted", "0 twins found", ""}));
    EXPECT_EQ(search.state.runControl, Running);
    EXPECT_TRUE(search.state.pauseGate.isOpen());
}

TEST(SearchSafety, APausedSearchHoldsInTheWalkUntilAbort) {
    TestFolder folder;
    folder.write("a", "twin");
    folder.write("b", "twin");
    SearchState search;
    search.state.runControl = Paused;
    search.state.pauseGate.closeGate();
    WorkerThread worker;
    worker.start([&] { search.start(folder.root().string()); });
    ASSERT_TRUE(eventually([&] { return !search.list.rows().empty(); }));
    sleepMilliseconds(50);  // and it stays held
    EXPECT_EQ(search.state.indexCount, 0u);
    EXPECT_EQ(search.list.rows(), (std::vector<ResultRow>{{"Indexing....", "", ""}}));
    search.abort();
    worker.join();
    EXPECT_EQ(search.list.rows(),
              (std::vector<ResultRow>{{"Aborted", "0 twins found", ""}, {"Indexing....", "", ""}}));
}
