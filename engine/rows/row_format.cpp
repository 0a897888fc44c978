#include "engine/rows/row_format.h"

#include <cstdint>
#include <cstring>

#include "engine/base/decimal_text.h"
#include "engine/base/path_text.h"
#include "engine/base/text_cut.h"
#include "engine/rows/result_store.h"

const char kRowFormatUsage[] =
    "  --format tsv|csv|json  how each row is written (default tsv):\n"
    "      tsv   the list's three cells separated by tabs; a tab, line break or backslash in a\n"
    "            cell is written as \\t \\n \\r \\\\, any other control byte as \\xNN\n"
    "      csv   RFC 4180 records of the three cells with CRLF line ends; a cell holding a comma,\n"
    "            double quote, CR or LF is quoted, its quotes doubled; names keep their raw bytes\n"
    "      json  one JSON object per line (JSON Lines), \"row\" naming its kind, numbers as numbers;\n"
    "            a name or text that is not valid UTF-8 is written as KEY_hex instead of KEY\n"
    "            (\"path_a_hex\" for \"path_a\"): its bytes as lowercase hex digits, two per byte\n";

bool parseRowFormat(const std::string& name, RowFormat& format) {
    if (name == "tsv") {
        format = RowFormat::Tsv;
    } else if (name == "csv") {
        format = RowFormat::Csv;
    } else if (name == "json") {
        format = RowFormat::Json;
    } else {
        return false;
    }
    return true;
}

namespace {

const char kHexDigits[] = "0123456789abcdef";

void appendHexByte(std::string& text, unsigned char byte) {
    text += kHexDigits[byte >> 4];
    text += kHexDigits[byte & 15];
}

// Strict UTF-8: no stray continuation bytes, overlong forms, surrogates or
// values past U+10FFFF.
bool isValidUtf8(const std::string& text) {
    std::size_t position = 0;
    while (position < text.size()) {
        const unsigned char lead = static_cast<unsigned char>(text[position]);
        if (lead < 0x80) {
            ++position;
            continue;
        }
        const std::size_t width = utf8CharacterBytes(lead);
        if (width == 1 || position + width > text.size()) return false;
        unsigned char lowest = 0x80;
        unsigned char highest = 0xBF;
        if (lead == 0xE0) lowest = 0xA0;
        if (lead == 0xED) highest = 0x9F;
        if (lead == 0xF0) lowest = 0x90;
        if (lead == 0xF4) highest = 0x8F;
        const unsigned char second = static_cast<unsigned char>(text[position + 1]);
        if (second < lowest || second > highest) return false;
        for (std::size_t next = 2; next < width; ++next) {
            if ((static_cast<unsigned char>(text[position + next]) & 0xC0) != 0x80) return false;
        }
        position += width;
    }
    return true;
}

// One JSON object on one line, built field by field.
class JsonLine {
public:
    explicit JsonLine(const char* kind) { text_ = std::string("{\"row\":\"") + kind + '"'; }

    void number(const char* key, uint64_t value) {
        startField(key);
        text_ += std::to_string(value);
    }

    // Valid UTF-8 as a JSON string under `key`; any other bytes as hex under `key`_hex.
    void string(const char* key, const std::string& value) {
        if (!isValidUtf8(value)) {
            startField(key, "_hex");
            text_ += '"';
            for (const char byte : value) appendHexByte(text_, static_cast<unsigned char>(byte));
            text_ += '"';
            return;
        }
        startField(key);
        text_ += '"';
        for (const char character : value) appendEscaped(character);
        text_ += '"';
    }

    // Valid UTF-8 texts as JSON strings under `key`; when any is not, all as hex under `key`_hex.
    void stringList(const char* key, const std::vector<std::string>& values) {
        bool valid = true;
        for (const std::string& value : values) valid = valid && isValidUtf8(value);
        startField(key, valid ? "" : "_hex");
        text_ += '[';
        for (std::size_t index = 0; index < values.size(); ++index) {
            if (index > 0) text_ += ',';
            text_ += '"';
            for (const char byte : values[index]) {
                if (valid) {
                    appendEscaped(byte);
                } else {
                    appendHexByte(text_, static_cast<unsigned char>(byte));
                }
            }
            text_ += '"';
        }
        text_ += ']';
    }

    void byteList(const char* key, const uint8_t* bytes, uint32_t count) {
        startField(key);
        text_ += '[';
        for (uint32_t index = 0; index < count; ++index) {
            if (index > 0) text_ += ',';
            text_ += std::to_string(bytes[index]);
        }
        text_ += ']';
    }

    std::string line() const { return text_ + "}\n"; }

private:
    void startField(const char* key, const char* suffix = "") {
        text_ += ",\"";
        text_ += key;
        text_ += suffix;
        text_ += "\":";
    }

    void appendEscaped(char character) {
        const unsigned char byte = static_cast<unsigned char>(character);
        switch (byte) {
            case '"': text_ += "\\\""; break;
            case '\\': text_ += "\\\\"; break;
            case '\n': text_ += "\\n"; break;
            case '\r': text_ += "\\r"; break;
            case '\t': text_ += "\\t"; break;
            default:
                if (byte < 0x20) {
                    text_ += "\\u00";
                    appendHexByte(text_, byte);
                } else {
                    text_ += character;
                }
        }
    }

    std::string text_;
};

// The kind of a job row as "row" names it.
const char* jobRowKind(const JobRowRecord& record) {
    if (record.kind == JobRowKind::Indexing) return "indexing";
    if (!closesJob(record)) return "start";
    return record.end == JobEnd::Completed ? "end" : "aborted";
}

// An opening or closing row, or the one that says a search is indexing: its
// kind, a search's count, a comparison's note or verdict.
std::string jsonJobRow(const JobRowRecord& record) {
    JsonLine json(jobRowKind(record));
    if (record.kind == JobRowKind::SearchStart) json.number("files", record.count);
    if (record.kind == JobRowKind::SearchEnd) json.number("twins", record.count);
    if (!record.detail.empty()) json.string(closesJob(record) ? "verdict" : "note", record.detail);
    return json.line();
}

// The row's three cells as the list shows them.
ResultRow cellsOf(ResultStore& store, int row) {
    ResultRow cells;
    PathText cell;
    for (int column = 0; column < 3; ++column) {
        store.getCell(row, column, cell);
        cells[static_cast<std::size_t>(column)] = cell;
    }
    return cells;
}

std::string jsonRow(ResultStore& store, int row) {
    RunRecord run;
    if (store.runAt(row, run)) {
        JsonLine json("run");
        json.number("offset", run.offset);
        json.number("length", run.length);
        json.byteList("bytes_a", run.bytesA, run.quoted);
        json.byteList("bytes_b", run.bytesB, run.quoted);
        return json.line();
    }
    JobRowRecord record;
    if (store.jobRowAt(row, record)) return jsonJobRow(record);
    // A row of texts, such as a typed row whose cell a job rewrote.
    const ResultRow cells = cellsOf(store, row);
    JsonLine json("text");
    for (std::size_t column = 0; column < cells.size(); ++column) {
        static const char* const kKeys[] = {"label", "detail", "note"};
        if (!cells[column].empty()) json.string(kKeys[column], cells[column]);
    }
    return json.line();
}

// RFC 4180: a field holding a comma, quote, CR or LF between quotes, its quotes doubled.
std::string csvField(const std::string& cell) {
    if (cell.find_first_of(",\"\r\n") == std::string::npos) return cell;
    std::string field = "\"";
    for (const char character : cell) {
        if (character == '"') field += '"';
        field += character;
    }
    return field + '"';
}

// The `length` bytes of a cell at `cell`, with tab, newline, carriage return
// and backslash written as \t \n \r \\ and every other control byte as \xNN,
// so that it holds no line break or tab; all other bytes stay as they are and
// are appended a stretch at a time.
void appendEscapedCell(std::string& line, const char* cell, std::size_t length) {
    std::size_t plain = 0;
    for (std::size_t at = 0; at < length; ++at) {
        // Eight plain bytes at a time: none below 32, none 127, none a backslash.
        while (length - at >= 8) {
            uint64_t word;
            std::memcpy(&word, cell + at, 8);
            constexpr uint64_t kLow = 0x0101010101010101u, kHigh = 0x8080808080808080u;
            const uint64_t del = word ^ (kLow * 127), backslash = word ^ (kLow * '\\');
            const uint64_t below32 = (word - kLow * 32) & ~word, zeroDel = (del - kLow) & ~del,
                           zeroBackslash = (backslash - kLow) & ~backslash;
            if (((below32 | zeroDel | zeroBackslash) & kHigh) != 0) break;
            at += 8;
        }
        if (at == length) break;
        const unsigned char byte = static_cast<unsigned char>(cell[at]);
        if (byte >= 32 && byte != 127 && byte != '\\') continue;
        line.append(cell + plain, at - plain);
        plain = at + 1;
        switch (byte) {
            case '\t': line += "\\t"; break;
            case '\n': line += "\\n"; break;
            case '\r': line += "\\r"; break;
            case '\\': line += "\\\\"; break;
            default: line += "\\x"; appendHexByte(line, byte);
        }
    }
    line.append(cell + plain, length - plain);
}

std::string escapeCell(const std::string& cell) {
    std::string escaped;
    escaped.reserve(cell.size());
    appendEscapedCell(escaped, cell.data(), cell.size());
    return escaped;
}

// The bytes of `path` a cell of the list shows (see ResultStore::getCell).
std::size_t cellLength(const char* path) {
    return cutLength(path, std::strlen(path), kPathTextSize - 1);
}

}  // namespace

void appendTwinLine(RowFormat format, const char* pathA, const char* pathB, uint32_t percent,
                    std::string& line) {
    if (format == RowFormat::Json) {
        JsonLine json("twin");
        json.string("path_a", pathA);
        json.string("path_b", pathB);
        json.number("percent", percent);
        line += json.line();
        return;
    }
    char percentText[16];
    formatDecimal(static_cast<int>(percent), percentText);
    if (format == RowFormat::Csv) {
        line += csvField(std::string(pathA, cellLength(pathA))) + ',' +
                csvField(std::string(pathB, cellLength(pathB))) + ',' + percentText + "\r\n";
        return;
    }
    appendEscapedCell(line, pathA, cellLength(pathA));
    line += '\t';
    appendEscapedCell(line, pathB, cellLength(pathB));
    line += '\t';
    line += percentText;
    line += '\n';
}

std::string formatRow(RowFormat format, ResultStore& store, int row) {
    StoredTwin twin;
    if (store.twinAt(row, twin)) {
        std::string line;
        appendTwinLine(format, twin.pathA.c_str(), twin.pathB.c_str(), twin.percent, line);
        return line;
    }
    if (format == RowFormat::Json) return jsonRow(store, row);
    const ResultRow cells = cellsOf(store, row);
    if (format == RowFormat::Csv)
        return csvField(cells[0]) + ',' + csvField(cells[1]) + ',' + csvField(cells[2]) + "\r\n";
    return escapeCell(cells[0]) + '\t' + escapeCell(cells[1]) + '\t' + escapeCell(cells[2]) + '\n';
}

std::string formatGroup(RowFormat format, uint32_t number, uint64_t size,
                        const std::vector<std::string>& paths) {
    std::string lines;
    if (format == RowFormat::Json) {
        JsonLine json("group");
        json.number("size", size);
        json.stringList("paths", paths);
        return json.line();
    }
    const std::string prefix = std::to_string(number) + ',' + std::to_string(size) + ',';
    if (format == RowFormat::Tsv && number == 1) lines += '\n';
    for (const std::string& path : paths)
        lines += format == RowFormat::Csv ? prefix + csvField(path) + "\r\n" : escapeCell(path) + '\n';
    if (format == RowFormat::Tsv) lines += '\n';
    return lines;
}
