#include "engine/rows/result_list.h"

#include <algorithm>
#include <functional>

#include "engine/base/path_text.h"

// From the last row up, so the rows still to go keep their places.
void ResultList::deleteRows(std::vector<int> rows) {
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (int row : rows) deleteRow(row);
}

void ResultList::insertTwinRow(int row, const TwinRecord& twin) {
    char digits[kPathTextSize];
    formatDecimal(static_cast<int>(twin.percent), digits);
    insertRow(row, twin.pathA);
    setCell(row, 1, twin.pathB);
    setCell(row, 2, digits);
}

void ResultList::insertRunRow(int row, const RunRecord& run) {
    PathText text;
    writeRunCell(run, 0, text);
    insertRow(row, text);
    for (int column = 1; column <= 2; ++column) {
        writeRunCell(run, column, text);
        setCell(row, column, text);
    }
}

bool ResultList::setClosingCount(int, uint32_t) {
    return false;
}

void ResultList::insertJobRow(int row, const JobRowRecord& record) {
    PathText text;
    writeJobRowCell(record, 0, text);
    insertRow(row, text);
    for (int column = 1; column <= 2; ++column) {
        writeJobRowCell(record, column, text);
        if (text[0] != '\0') setCell(row, column, text);
    }
}
