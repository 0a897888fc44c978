#include "cli/row_output.h"

std::string escapeCell(const std::string& cell) {
    std::string escaped;
    escaped.reserve(cell.size());
    for (const char character : cell) {
        const unsigned char byte = static_cast<unsigned char>(character);
        switch (byte) {
            case '\t':
                escaped += "\\t";
                break;
            case '\n':
                escaped += "\\n";
                break;
            case '\r':
                escaped += "\\r";
                break;
            case '\\':
                escaped += "\\\\";
                break;
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

void printRows(const std::vector<ResultRow>& rows, FILE* out) {
    for (const ResultRow& row : rows) {
        const std::string line =
            escapeCell(row[0]) + '\t' + escapeCell(row[1]) + '\t' + escapeCell(row[2]) + '\n';
        std::fwrite(line.data(), 1, line.size(), out);
    }
}
