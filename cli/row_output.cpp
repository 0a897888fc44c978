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

void PrintingResultList::printUpTo(int end) {
    if (end <= printed_) return;
    char cell[kPathTextSize];
    for (; printed_ < end && printed_ < rows_.rowCount(); ++printed_) {
        ResultRow row;
        for (int column = 0; column < 3; ++column) {
            rows_.getCell(printed_, column, cell);
            row[column] = cell;
        }
        failed_ = !printRow(row, out_) || failed_;
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

void PrintingResultList::flush() {
    if (std::fflush(out_) != 0) failed_ = true;
}

bool PrintingResultList::finish() {
    printUpTo(rows_.rowCount());
    flush();
    return !failed_ && std::ferror(out_) == 0;
}
