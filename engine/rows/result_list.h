// The three-column report list. Workers write rows only through this
// interface; the engine's row store (result_store.h) implements it, and the
// window shows that store in its list-view. Every call is synchronous.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "engine/base/decimal_text.h"  // the texts of the rows' numbers
#include "engine/rows/job_row.h"
#include "engine/rows/run_record.h"
#include "engine/rows/twin_record.h"

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
    // Every row named in `rows` (any order; repeats and missing rows ignored).
    virtual void deleteRows(std::vector<int> rows);
    // -1 when no row has the focus.
    virtual int focusedRow() = 0;
    // A twin row: path A, path B and the percentage in its three cells.
    virtual void insertTwinRow(int row, const TwinRecord& twin);
    // A run row of a "File" comparison: position, length and details.
    virtual void insertRunRow(int row, const RunRecord& run);
    // The row that opens or closes a job, or says a search is indexing.
    virtual void insertJobRow(int row, const JobRowRecord& record);
    // Sets the count of a search's closing row kept as a record; false when
    // `row` is no such row (a list of texts only keeps none).
    virtual bool setClosingCount(int row, uint32_t count);
};

// The texts of one row, as the command line prints it.
using ResultRow = std::array<std::string, 3>;
