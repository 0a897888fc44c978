#include "cli/row_output.h"

void PrintingResultList::write(const std::string& text) {
    if (std::fwrite(text.data(), 1, text.size(), out_) != text.size()) failed_ = true;
}

void PrintingResultList::printUpTo(int end) {
    while (printed_ < end && unprinted_.rowCount() > 0) {
        const std::string line = formatRow(format_, unprinted_, 0);
        unprinted_.deleteRow(0);
        write(line);
        ++printed_;
    }
}

void PrintingResultList::printBefore(int row, int count) {
    // Rows are only ever added after the ones printed, so the rows before an appended one are final.
    if (row < 0 || row >= count) printUpTo(count);
}

void PrintingResultList::insertRow(int row, const char* text) {
    const int count = printed_ + unprinted_.rowCount();
    unprinted_.insertRow(row < printed_ ? 0 : row - printed_, text);
    printBefore(row, count);
}

void PrintingResultList::insertJobRow(int row, const JobRowRecord& record) {
    const int count = printed_ + unprinted_.rowCount();
    unprinted_.insertJobRow(row < printed_ ? 0 : row - printed_, record);
    printBefore(row, count);
}

void PrintingResultList::setCell(int row, int column, const char* text) {
    unprinted_.setCell(held(row), column, text);
}

int PrintingResultList::getCell(int row, int column, char* buffer) {
    return unprinted_.getCell(held(row), column, buffer);
}

void PrintingResultList::ensureVisible(int row) {
    unprinted_.ensureVisible(held(row));
}

void PrintingResultList::clearRows() {
    unprinted_.clearRows();
    printed_ = 0;
}

void PrintingResultList::deleteRow(int row) {
    unprinted_.deleteRow(held(row));
}

int PrintingResultList::focusedRow() {
    return unprinted_.focusedRow();
}

void PrintingResultList::insertTwinRow(int row, const TwinRecord& twin) {
    // The next row to print, with no row held before it: written at once, never stored.
    if (row == printed_ && unprinted_.rowCount() == 0) {
        line_.clear();
        appendTwinLine(format_, twin.pathA, twin.pathB, twin.percent, line_);
        write(line_);
        ++printed_;
        return;
    }
    unprinted_.insertTwinRow(row < printed_ ? 0 : row - printed_, twin);
    printUpTo(row + 1);
}

void PrintingResultList::insertRunRow(int row, const RunRecord& run) {
    unprinted_.insertRunRow(row < printed_ ? 0 : row - printed_, run);
    printUpTo(row + 1);
}

void PrintingResultList::flush() {
    if (std::fflush(out_) != 0) failed_ = true;
}

bool PrintingResultList::finish() {
    printUpTo(printed_ + unprinted_.rowCount());
    flush();
    return !failed_ && std::ferror(out_) == 0;
}
