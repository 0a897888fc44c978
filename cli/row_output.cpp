#include "cli/row_output.h"

void PrintingResultList::printUpTo(int end) {
    if (end <= printed_) return;
    for (; printed_ < end && printed_ < rows_.rowCount(); ++printed_) {
        const std::string line = formatRow(format_, rows_, printed_);
        if (std::fwrite(line.data(), 1, line.size(), out_) != line.size()) failed_ = true;
    }
}

void PrintingResultList::insertRow(int row, const char* text) {
    const int count = rows_.rowCount();
    rows_.insertRow(row, text);
    // Rows are only ever added after the ones printed, so the rows before an appended one are final.
    if (row < 0 || row >= count) printUpTo(count);
}

void PrintingResultList::setCell(int row, int column, const char* text) {
    rows_.setCell(row, column, text);
}

int PrintingResultList::getCell(int row, int column, char* buffer) {
    return rows_.getCell(row, column, buffer);
}

void PrintingResultList::ensureVisible(int row) {
    rows_.ensureVisible(row);
}

void PrintingResultList::clearRows() {
    rows_.clearRows();
    printed_ = 0;
}

void PrintingResultList::deleteRow(int row) {
    rows_.deleteRow(row);
}

int PrintingResultList::focusedRow() {
    return rows_.focusedRow();
}

void PrintingResultList::insertTwinRow(int row, const TwinRecord& twin) {
    rows_.insertTwinRow(row, twin);
    printUpTo(row + 1);
}

void PrintingResultList::insertRunRow(int row, const RunRecord& run) {
    rows_.insertRunRow(row, run);
    printUpTo(row + 1);
}

void PrintingResultList::flush() {
    if (std::fflush(out_) != 0) failed_ = true;
}

bool PrintingResultList::finish() {
    printUpTo(rows_.rowCount());
    flush();
    return !failed_ && std::ferror(out_) == 0;
}
