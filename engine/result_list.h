// The three-column report list. Workers write rows only through this
// interface; the window implements it over its list-view control, the command
// line and the tests over memory. Every call is synchronous.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "engine/twin_record.h"
#include "engine/worker_thread.h"

class ResultList {
public:
    virtual ~ResultList() = default;
    // A row beyond the end appends.
    virtual void insertRow(int row, const char* text) = 0;
    // Column 1 or 2 of an existing row; a missing row is ignored.
    virtual void setCell(int row, int column, const char* text) = 0;
    // Copies the cell into the 600-byte buffer; returns its length, 0 for a
    // missing row or an empty cell.
    virtual int getCell(int row, int column, char* buffer) = 0;
    virtual void ensureVisible(int row) = 0;
    virtual void clearRows() = 0;
    virtual void deleteRow(int row) = 0;
    // -1 when no row has the focus.
    virtual int focusedRow() = 0;
    // A twin row: path A, path B and the percentage in its three cells.
    virtual void insertTwinRow(int row, const TwinRecord& twin);
};

using ResultRow = std::array<std::string, 3>;

// In-memory list for the command line and the tests. Safe to read from
// another thread while a worker writes.
class MemoryResultList : public ResultList {
public:
    void insertRow(int row, const char* text) override;
    void setCell(int row, int column, const char* text) override;
    int getCell(int row, int column, char* buffer) override;
    void ensureVisible(int row) override;
    void clearRows() override;
    void deleteRow(int row) override;
    int focusedRow() override;

    void setFocusedRow(int row);
    std::vector<ResultRow> rows() const;
    int rowCount() const;

private:
    mutable Mutex mutex_;
    std::vector<ResultRow> rows_;
    int focused_ = -1;
};

// Signed 32-bit value to decimal text ("-5", "0", "42") into a 600-byte buffer.
void formatDecimal(int value, char* buffer);
// Digits to value: value * 10 + (c - '0') for every character; "" gives 0.
int parseDecimal(const char* text);
