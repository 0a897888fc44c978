// Pause, abort, failed reads and missing memory: a comparison never shows more
// than it has seen, and every job leaves the program ready for the next one.
#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "engine/base/worker_thread.h"
#include "engine/search/pairs/candidates.h"
#include "tests/engine/compare_fixture.h"
#include "tests/engine/compare_test_files.h"
#include "tests/engine/memory_shortage.h"

namespace {

void pause(AppState& state) {
    state.runControl = Paused;
    state.pauseGate.closeGate();
}

// Counts the bytes the worker thread reads.
void countReads(ComparisonState& run, std::atomic<uint64_t>& bytes) {
    run.state.readBlock = [&bytes](fs::File* file, void* buffer, uint32_t count) {
        const int64_t delivered = fs::readFile(file, buffer, count);
        bytes += static_cast<uint64_t>(delivered);
        return delivered;
    };
}

}  // namespace

TEST(PauseAndAbort, PauseHoldsTheWorkerUntilResume) {
    TestFolder folder;
    ComparisonState run(folder.write("a", "abcde"), folder.write("b", "abXde"));
    std::atomic<uint64_t> bytes{0};
    countReads(run, bytes);
    pause(run.state);
    WorkerThread worker;
    worker.start([&] { run.compare(); });
    ASSERT_TRUE(eventually([&] { return bytes == 10; }));
    sleepMilliseconds(50);
    EXPECT_EQ(run.list.rowCount(), 1);  // "Start" only: held before the first byte is examined
    EXPECT_EQ(run.state.runState, Comparing);
    run.state.runControl = Running;
    run.state.pauseGate.openGate();
    worker.join();
    EXPECT_EQ(run.list.rows().back(), row("End", "", "Files have 80% in common"));
    EXPECT_EQ(run.state.runState, Idle);
}

TEST(PauseAndAbort, AbortFinishesTheChunkAndReportsWhatWasCompared) {
    TestFolder folder;
    std::vector<uint8_t> content(25000000, 'q');
    const std::string a = folder.write("a", content);
    content[20000010] = 'r';  // in the third chunk, never read
    ComparisonState run(a, folder.write("b", content));
    std::atomic<uint64_t> bytes{0};
    countReads(run, bytes);
    pause(run.state);
    WorkerThread worker;
    worker.start([&] { run.compare(); });
    ASSERT_TRUE(eventually([&] { return bytes > 0; }));
    requestAbort(run.state);
    worker.join();
    EXPECT_EQ(bytes, 20000000u);  // the first chunk of each file, finished after the abort
    EXPECT_EQ(run.list.rows(), (std::vector<ResultRow>{row("Start", "", "Files are the same size"),
                                                       row("Aborted", "", "Same")}));
    EXPECT_EQ(run.outcome.end, JobEnd::Aborted);
    EXPECT_EQ(run.state.runState, Idle);
    EXPECT_EQ(run.state.runControl, Running);
    EXPECT_TRUE(run.state.pauseGate.isOpen());
}

TEST(PauseAndAbort, AnAbortedPairIsNeverATwin) {
    TestFolder folder;
    const std::vector<uint8_t> content(15000000, 'q');
    ComparisonState pair(folder.write("a", content), folder.write("b", content), DirectoryMode);
    // The abort comes once the first piece of both files is read.
    pair.state.readBlock = [&pair](fs::File* file, void* buffer, uint32_t count) {
        const int64_t delivered = fs::readFile(file, buffer, count);
        pair.bytesRead += static_cast<uint64_t>(delivered);
        if (pair.bytesRead == 2u * kSearchPiece) requestAbort(pair.state);
        return delivered;
    };
    EXPECT_EQ(pair.searchPercent(), 0u);
    EXPECT_EQ(pair.bytesRead, 2u * kSearchPiece);
    EXPECT_EQ(pair.state.runControl, AbortRequested);  // the search reads it and stops
    pair.state.runControl = Running;
    EXPECT_EQ(pair.searchPercent(), 100u);  // the same pair compared in full
}

TEST(PauseAndAbort, AJobThatEndsWhilePausedLeavesTheGateOpen) {
    TestFolder folder;
    ComparisonState run(folder.write("a", "abcd"), folder.write("b", "abcX"));
    // A pause that arrives after the last look at the gate: while the run closed by the end of data is
    // listed.
    struct PausingList : ResultStore {
        AppState* state = nullptr;
        void insertRunRow(int row, const RunRecord& run) override {
            if (row == 1) pause(*state);
            ResultStore::insertRunRow(row, run);
        }
    } list;
    list.state = &run.state;
    run.state.results = &list;
    run.compare();
    EXPECT_EQ(list.rows().back(), row("Aborted", "", "Files have 75% in common"));
    EXPECT_EQ(run.state.runControl, Running);
    EXPECT_TRUE(run.state.pauseGate.isOpen());
}

TEST(ShortRead, UnreadBytesAreNeverCountedAsEqual) {
    TestFolder folder;
    std::vector<uint8_t> content(15000000, 'q');
    content[7] = 'r';
    const std::string a = folder.write("a", content);
    content[7] = 's';
    const std::string b = folder.write("b", content);
    // The first read after `whole` bytes comes up five bytes short: a file cut while it is read.
    auto shortAfter = [](uint64_t& bytes, uint64_t whole) {
        return [&bytes, whole](fs::File* file, void* buffer, uint32_t count) -> int64_t {
            const bool firstChunkDone = bytes == whole;
            const int64_t delivered = fs::readFile(file, buffer, count);
            bytes += static_cast<uint64_t>(delivered);
            return firstChunkDone ? delivered - 5 : delivered;
        };
    };
    ComparisonState report(a, b);
    report.state.readBlock = shortAfter(report.bytesRead, 2u * kChunkLength);
    EXPECT_EQ(report.fileReport(), (std::vector<ResultRow>{row("Start", "", "Files are the same size"),
                                                           row("7", "1", "File A is \"r\", File B is \"s\""),
                                                           row("End", "", "Error reading file")}));
    EXPECT_EQ(report.state.runState, Idle);
    EXPECT_EQ(report.state.compareBufferA, nullptr);

    ComparisonState pair(a, a, DirectoryMode);
    pair.state.readBlock = shortAfter(pair.bytesRead, 2u * kSearchPiece);
    EXPECT_EQ(pair.searchPercent(), 0u);
    // A read that fails outright, in the first piece.
    pair.state.readBlock = [](fs::File*, void*, uint32_t) -> int64_t { return -1; };
    EXPECT_EQ(pair.searchPercent(), 0u);
    EXPECT_EQ(pair.searchPercent(50), 0u);
}

TEST(NotEnoughMemory, ReleasesWhatItGotAndLeavesTheProgramIdle) {
    TestFolder folder;
    ComparisonState run(folder.write("a", "abc"), folder.write("b", "abc"));
    std::vector<uint8_t*> released;
    int allocations = 0;
    run.state.allocateBlock = [&](std::size_t bytes) -> uint8_t* {
        return ++allocations == 1 ? static_cast<uint8_t*>(std::calloc(bytes, 1)) : nullptr;
    };
    run.state.releaseBlock = [&](uint8_t* block) {
        released.push_back(block);
        std::free(block);
    };
    run.list.insertRow(0, "old row");
    pause(run.state);
    run.state.runControl = Running;  // a gate left closed by an earlier job
    EXPECT_EQ(run.compare().end, JobEnd::NoMemory);
    EXPECT_EQ(run.noMemoryCalls, 1);
    EXPECT_EQ(released.size(), 1u);
    EXPECT_EQ(run.list.rowCount(), 0);
    EXPECT_EQ(run.bytesRead, 0u);
    EXPECT_EQ(run.state.runState, Idle);
    EXPECT_EQ(run.state.runControl, Running);
    EXPECT_TRUE(run.state.pauseGate.isOpen());
    EXPECT_EQ(run.updateCalls, 2);
    EXPECT_EQ(run.state.compareBufferA, nullptr);
}

// A report whose rows cannot all be had stops as an abort does: said once,
// closed by "Aborted" below the rows so far, never "End".
TEST(NotEnoughMemory, ForTheRowsKeepsTheRowsSoFarAndClosesAborted) {
    TestFolder folder;
    const std::string a = folder.write("a", "a1b2c3d4e5");
    const std::string b = folder.write("b", "a_b_c_d_e_");
    const auto whole = ComparisonState(a, b).fileReport();
    long requests = 0;
    {
        ComparisonState counted(a, b);
        MemoryShortage none(0);
        counted.compare();
        requests = none.asked();
    }
    for (long failing = 1; failing <= requests; ++failing) {
        ComparisonState run(a, b);
        {
            MemoryShortage shortage(failing);
            run.compare();
        }
        const auto rows = run.list.rows();
        EXPECT_EQ(run.state.runState, Idle);
        ASSERT_LE(run.noMemoryCalls, 1) << failing;
        EXPECT_EQ(run.outcome.end == JobEnd::NoMemory, run.noMemoryCalls == 1) << failing;
        if (run.noMemoryCalls == 0) {
            EXPECT_EQ(rows, whole) << failing;
        } else if (!rows.empty()) {
            // A closing row whose verdict could not be written closes a report that did run to its end.
            EXPECT_TRUE(rows.back()[0] == "Aborted" || rows.back()[2].empty()) << failing;
            ASSERT_LE(rows.size(), whole.size()) << failing;
            // The rows so far, though a row's last cells may be missing.
            for (std::size_t at = 0; at + 1 < rows.size(); ++at) {
                EXPECT_EQ(rows[at][0], whole[at][0]) << failing;
                for (const int column : {1, 2})
                    EXPECT_TRUE(rows[at][column].empty() || rows[at][column] == whole[at][column]) << failing;
            }
        }
    }
}
