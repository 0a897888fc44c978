// Rows of the report list printed as they become final, one row a line in
// the format chosen for the run.
#pragma once

#include <atomic>
#include <cstdio>

#include "cli/row_format.h"
#include "engine/rows/result_store.h"

// A result list that prints each row once it is final: a twin or run row as
// soon as it is written, any other row once a row after it exists, and the rest
// at finish(). Only the rows not printed yet are kept, in the engine's row store,
// so memory does not grow with the rows printed. The worker prints; flush()
// (from any thread: the stream locks itself) sends them on.
class PrintingResultList : public ResultList {
public:
    PrintingResultList(FILE* out, RowFormat format) : out_(out), format_(format) {}

    void insertRow(int row, const char* text) override;
    void setCell(int row, int column, const char* text) override;
    int getCell(int row, int column, char* buffer) override;
    void ensureVisible(int row) override;
    void clearRows() override;
    void deleteRow(int row) override;
    int focusedRow() override;
    void insertTwinRow(int row, const TwinRecord& twin) override;
    void insertRunRow(int row, const RunRecord& run) override;

    void flush();
    // Prints the rows not printed yet; false when any write of the rows failed.
    bool finish();

private:
    void printUpTo(int end);
    // The place in the store of the list's row `row`.
    int held(int row) const { return row < printed_ ? -1 : row - printed_; }

    FILE* out_;
    RowFormat format_;
    ResultStore unprinted_;
    int printed_ = 0;
    // Set by the search's thread as it prints and by the command line's as it flushes.
    std::atomic<bool> failed_{false};
};
