// Rows of the report list printed as they become final, one row a line in
// the format chosen for the run.
#pragma once

#include <atomic>
#include <cstdio>

#include "engine/rows/result_store.h"
#include "engine/rows/row_format.h"

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
    void insertJobRow(int row, const JobRowRecord& record) override;

    void flush();
    // Prints the rows not printed yet; false when any write of the rows failed.
    bool finish();

protected:
    // Prints every row held so far.
    void printHeld() { printUpTo(printed_ + unprinted_.rowCount()); }
    // Writes `text` as it stands.
    void write(const std::string& text);
    RowFormat format() const { return format_; }

private:
    void printUpTo(int end);
    // After a row of texts or a job row went in at `row` of the `count` before:
    // when it was appended, the rows before it are final.
    void printBefore(int row, int count);
    // The place in the store of the list's row `row`.
    int held(int row) const { return row < printed_ ? -1 : row - printed_; }

    FILE* out_;
    RowFormat format_;
    ResultStore unprinted_;
    int printed_ = 0;
    // The line of the twin row being printed, its memory kept from row to row.
    std::string line_;
    // Set by the search's thread as it prints and by the command line's as it flushes.
    std::atomic<bool> failed_{false};
};
