// Every row of the current job as a typed record: the opening and closing
// rows as their texts, run rows as the comparison found them, twin rows with
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
    // The row most recently asked to be kept in view since the last call; -1 when none.
    int takeRowToShow();
    // Grows with every change of the rows, so that a view knows when to redraw.
    uint32_t changeCount() const;

protected:
    // Called after every change of the rows and every ensureVisible, outside the lock.
    virtual void rowsChanged() {}

private:
    enum class Kind : uint8_t { Text, Run, Twin };
    struct Slot {
        // Text and run rows: the place in the deque of their kind. Twin
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

    mutable Mutex mutex_;
    BlockSequence<Slot, 32768> rows_;
    std::deque<ResultRow> texts_;
    std::deque<RunRecord> runs_;
    TwinFiles files_;
    int focused_ = -1;
    int rowToShow_ = -1;
    uint32_t changes_ = 0;
};
