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
// finish(). The rows are kept in the engine's row store, for the exit status. The worker
// prints; flush() (from any thread: the stream locks itself) sends them on.
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
    std::vector<ResultRow> rows() const { return rows_.rows(); }

private:
    void printUpTo(int end);

    FILE* out_;
    ResultStore rows_;
    int printed_ = 0;
    bool failed_ = false;
};
