#include "engine/rows/result_list.h"

#include "engine/base/path_text.h"

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
