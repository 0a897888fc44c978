#include "cli/row_output.h"

#include "engine/path_text.h"

std::string escapeCell(const std::string& cell) {
    std::string escaped;
    escaped.reserve(cell.size());
    for (const char character : cell) {
        const unsigned char byte = static_cast<unsigned char>(character);
        switch (byte) {
            case '\t': escaped += "\\t"; break;
            case '\n': escaped += "\\n"; break;
            case '\r': escaped += "\\r"; break;
            case '\\': escaped += "\\\\"; break;
            default:
                if (byte < 32 || byte == 127) {
                    const char* hexDigits = "0123456789abcdef";
                    escaped += "\\x";
                    escaped += hexDigits[byte >> 4];
                    escaped += hexDigits[byte & 15];
                } else {
                    escaped += character;
                }
        }
    }
    return escaped;
}

namespace {

bool printRow(const ResultRow& row, FILE* out) {
    const std::string line =
        escapeCell(row[0]) + '\t' + escapeCell(row[1]) + '\t' + escapeCell(row[2]) + '\n';
    return std::fwrite(line.data(), 1, line.size(), out) == line.size();
}

}  // namespace

bool printRows(const std::vector<ResultRow>& rows, FILE* out) {
    bool written = true;
    for (const ResultRow& row : rows) written = printRow(row, out) && written;
    return std::fflush(out) == 0 && written && std::ferror(out) == 0;
}

void PrintingResultList::printNext(ResultRow&& row) {
    failed_ = !printRow(row, out_) || failed_;
    if (printed_ == 0) firstRow_ = row;
    lastRow_ = std::move(row);
    ++printed_;
}

void PrintingResultList::printUpTo(int end) {
    char cell[kPathTextSize];
    while (printed_ < end && unprinted_.rowCount() > 0) {
        ResultRow row;
        for (int column = 0; column < 3; ++column) {
            unprinted_.getCell(0, column, cell);
            row[column] = cell;
        }
        unprinted_.deleteRow(0);
        printNext(std::move(row));
    }
}

void PrintingResultList::insertRow(int row, const char* text) {
    const int count = printed_ + unprinted_.rowCount();
    // Rows are only ever added after the ones printed, so the rows before an appended one are final.
    unprinted_.insertRow(row < printed_ ? 0 : row - printed_, text);
    if (row < 0 || row >= count) printUpTo(count);
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
    firstRow_ = lastRow_ = ResultRow();
}

void PrintingResultList::deleteRow(int row) {
    unprinted_.deleteRow(held(row));
}

int PrintingResultList::focusedRow() {
    return unprinted_.focusedRow();
}

void PrintingResultList::insertTwinRow(int row, const TwinRecord& twin) {
    printUpTo(row);
    if (row != printed_ || unprinted_.rowCount() != 0) {
        unprinted_.insertTwinRow(row < printed_ ? 0 : row - printed_, twin);
        printUpTo(row + 1);
        return;
    }
    // The next row to print, and final as written: printed from the record, never kept.
    char percent[kPathTextSize];
    formatDecimal(static_cast<int>(twin.percent), percent);
    printNext(ResultRow{twin.pathA, twin.pathB, percent});
}

void PrintingResultList::flush() {
    if (std::fflush(out_) != 0) failed_ = true;
}

bool PrintingResultList::finish() {
    printUpTo(printed_ + unprinted_.rowCount());
    flush();
    return !failed_ && std::ferror(out_) == 0;
}
