// Every row of the current job as a typed record: the opening and closing
// rows as what they report, run rows as the comparison found them, twin rows with
// what the search knew of both files. The texts a cell shows are made from
// the record when asked for. Workers write, the window and the command line
// read; every operation takes the store's lock, so they may do so at once.
// A twin row names its two files by number in a table of the search's files,
// so millions of rows of a few thousand files cost a few bytes each. When
// memory runs out, an operation that adds throws std::bad_alloc and leaves
// the rows as they were.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "engine/base/block_sequence.h"
#include "engine/base/worker_thread.h"
#include "engine/rows/result_list.h"
#include "engine/rows/twin_files.h"

// A twin row as the store hands it out.
struct StoredTwin {
    std::string pathA;
    std::string pathB;
    uint32_t percent = 0;
    TwinFileFacts factsA;
    TwinFileFacts factsB;
};

// The numbers of a twin row's two files in the store's table of files: a
// file the search met in many rows has the same number in all of them.
struct TwinFileNumbers {
    uint32_t fileA = 0;
    uint32_t fileB = 0;
    uint32_t percent = 0;
};

class ResultStore : public ResultList {
public:
    void insertRow(int row, const char* text) override;
    // Writing a cell of a run or twin row turns it into a row of texts.
    void setCell(int row, int column, const char* text) override;
    int getCell(int row, int column, char* buffer) override;
    void ensureVisible(int row) override;
    void clearRows() override;
    void deleteRow(int row) override;
    int focusedRow() override;
    void insertTwinRow(int row, const TwinRecord& twin) override;
    void insertRunRow(int row, const RunRecord& run) override;
    void insertJobRow(int row, const JobRowRecord& record) override;
    bool setClosingCount(int row, uint32_t count) override;

    void setFocusedRow(int row);
    int rowCount() const;
    // The texts of every row.
    std::vector<ResultRow> rows() const;
    // Copies the twin record of `row`; false when the row holds no twin.
    bool twinAt(int row, StoredTwin& twin) const;
    // The file numbers of `row`, without its texts; false when the row holds no twin.
    bool twinFilesAt(int row, TwinFileNumbers& files) const;
    // Copies the run record of `row`; false when the row holds no run.
    bool runAt(int row, RunRecord& run) const;
    // Copies the record of an opening or closing row; false for any other row.
    bool jobRowAt(int row, JobRowRecord& record) const;
    // The row most recently asked to be kept in view since the last call; -1 when none.
    int takeRowToShow();
    // Grows with every change of the rows, so that a view knows when to redraw.
    uint32_t changeCount() const;
    // Orders the rows between the first and the last by `column`, the other
    // way round when `descending`; rows that compare equal keep their order,
    // and the first (opening) and last (closing) rows stay where they are.
    // Paths and other texts compare as bytes, percentages, positions and
    // lengths as numbers, run details by the bytes of file A, then of file B
    // (a third cell that is no number sorts after the numbers). Only the
    // rows' places move, never their texts. Returns the new place of row
    // `follow` (any other value comes back as it is). Throws std::bad_alloc
    // when memory runs out, and the rows stay as they were.
    int sortRows(int column, bool descending, int follow = -1);
    // In one pass, however many rows go.
    void deleteRows(std::vector<int> rows) override;
    // Exchanges all rows (and the focused row) with `other`'s.
    void swapRows(ResultStore& other);

protected:
    // Called after every change of the rows and every ensureVisible, outside the lock.
    virtual void rowsChanged() {}

private:
    enum class Kind : uint8_t { Text, Run, Twin, Job };
    struct Slot {
        // Text, run and job rows: the place in the deque of their kind. Twin
        // rows: the numbers of file A and file B in the file table.
        uint32_t first;
        uint32_t second;
        Kind kind;
        uint8_t percent;
    };
    void placeRow(int row, Slot slot);
    void writeText(int row, int column, const char* text);
    // The cell's text into a 600-byte buffer; returns its length.
    int writeCell(Slot slot, int column, char* buffer) const;
    bool validRow(int row) const { return row >= 0 && row < static_cast<int>(rows_.size()); }
    // Each file's place by path and each run's by details, as far as a sort needs them.
    struct SortRanks {
        std::vector<uint32_t> files;
        std::vector<uint32_t> texts;  // two a text row: its first and second cell
        std::vector<uint32_t> runs;
    };
    // The row's place in a sort by `column`: lower sorts first.
    uint64_t sortKey(const Slot& slot, int column, const SortRanks& ranks) const;
    void rankPaths(SortRanks& ranks) const;
    std::vector<uint32_t> runDetailRanks() const;

    mutable Mutex mutex_;
    BlockSequence<Slot, 32768> rows_;
    std::deque<ResultRow> texts_;
    std::deque<RunRecord> runs_;
    std::deque<JobRowRecord> jobRows_;
    TwinFiles files_;
    int focused_ = -1;
    int rowToShow_ = -1;
    uint32_t changes_ = 0;
};
