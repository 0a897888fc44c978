// Rows of the report list as text: one row a line, the three cells separated
// by tabs.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "engine/result_store.h"

// A cell with tab, newline, carriage return and backslash written as \t \n \r
// \\ and every other control byte as \xNN, so that it holds no line break or
// tab; all other bytes stay as they are.
std::string escapeCell(const std::string& cell);

// Writes the rows and flushes `out`; false when a write or the flush failed.
bool printRows(const std::vector<ResultRow>& rows, FILE* out);

// A result list that prints each row once it is final: a twin row as soon as
// it is written, any other row once a row after it exists, and the rest at
// finish(). Only the rows not printed yet are kept, in the engine's row store
// (a twin row due next is printed from its record and never kept), so memory
// does not grow with the rows printed; the first and the last row printed
// stay known for the exit status. The worker prints; flush() (from
// any thread: the stream locks itself) sends them on.
class PrintingResultList : public ResultList {
public:
    explicit PrintingResultList(FILE* out) : out_(out) {}

    void insertRow(int row, const char* text) override;
    void setCell(int row, int column, const char* text) override;
    int getCell(int row, int column, char* buffer) override;
    void ensureVisible(int row) override;
    void clearRows() override;
    void deleteRow(int row) override;
    int focusedRow() override;
    void insertTwinRow(int row, const TwinRecord& twin) override;

    void flush();
    // Prints the rows not printed yet; false when any write of the rows failed.
    bool finish();
    const ResultRow& firstRow() const { return firstRow_; }
    const ResultRow& lastRow() const { return lastRow_; }

private:
    void printUpTo(int end);
    void printNext(ResultRow&& row);
    // The place in the store of the list's row `row`.
    int held(int row) const { return row < printed_ ? -1 : row - printed_; }

    FILE* out_;
    ResultStore unprinted_;
    int printed_ = 0;
    ResultRow firstRow_;
    ResultRow lastRow_;
    bool failed_ = false;
};
