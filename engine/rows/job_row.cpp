#include "engine/rows/job_row.h"

#include "engine/base/decimal_text.h"
#include "engine/base/path_text.h"

namespace {

const char* labelOf(const JobRowRecord& record) {
    if (record.kind == JobRowKind::Indexing) return "Indexing....";
    if (!closesJob(record)) return "Start";
    return record.end == JobEnd::Completed ? "End" : "Aborted";
}

}  // namespace

void writeJobRowCell(const JobRowRecord& record, int column, char* text) {
    text[0] = '\0';
    if (column == 0) {
        copyPathText(text, labelOf(record));
        return;
    }
    const bool search = record.kind == JobRowKind::SearchStart || record.kind == JobRowKind::SearchEnd;
    if (column == 1 && search) {
        PathText number;
        formatDecimal(static_cast<int>(record.count), number);
        joinPathText(text, number, record.kind == JobRowKind::SearchStart ? " files found." : " twins found");
    } else if (column == 2 && !search) {
        copyPathText(text, record.detail.c_str());
    }
}
