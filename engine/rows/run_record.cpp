#include "engine/rows/run_record.h"

#include <cstring>

#include "engine/base/byte_text.h"
#include "engine/base/decimal_text.h"
#include "engine/base/path_text.h"

namespace {

// "File A is <bytes>, File B is <bytes>": one byte as its value, more as a quote.
void writeRunDetails(const RunRecord& run, char* text) {
    if (run.quoted == 0) {
        std::strcpy(text, "Different");
        return;
    }
    char shownA[quotedTextSize(kQuotedBytesMax)];
    char shownB[quotedTextSize(kQuotedBytesMax)];
    if (run.length == 1) {
        formatByteValue(run.bytesA[0], shownA);
        formatByteValue(run.bytesB[0], shownB);
    } else {
        quoteBytes(run.bytesA, run.quoted, shownA);
        quoteBytes(run.bytesB, run.quoted, shownB);
    }
    joinPathText(text, "File A is ", shownA, ", File B is ");
    std::strcat(text, shownB);
}

}  // namespace

void writeRunCell(const RunRecord& run, int column, char* text) {
    switch (column) {
        case 0: formatUnsigned(run.offset, text); return;
        case 1: formatDecimal(static_cast<int>(run.length), text); return;
        default: writeRunDetails(run, text); return;
    }
}
