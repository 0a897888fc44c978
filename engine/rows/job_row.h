// The rows that open and close a job's list, kept as what they report: which
// row it is, how the job ended, the count it gives and a comparison's note or
// verdict. The texts the list shows are made from the record, so every output
// is written from what the job knew, never by reading a text back.
#pragma once

#include <cstdint>
#include <string>

// How a job ended: it ran to its end ("End"), an abort or a pause ended it
// ("Aborted"), or memory ran out ("Not enough memory" was reported).
enum class JobEnd { Completed, Aborted, NoMemory };

enum class JobRowKind : uint8_t {
    Indexing,      // "Indexing....": a search walking its folder
    SearchStart,   // "Start" and the files found
    SearchEnd,     // "End" or "Aborted" and the twins found
    CompareStart,  // "Start" and the note on the two sizes
    CompareEnd,    // "End" or "Aborted" and the verdict
};

struct JobRowRecord {
    JobRowKind kind = JobRowKind::Indexing;
    // Closing rows: Completed reads "End", any other end "Aborted".
    JobEnd end = JobEnd::Completed;
    // The files found at a search's start, the twins found at its end.
    uint32_t count = 0;
    // A comparison's note on the sizes or its verdict; empty otherwise.
    std::string detail;
};

inline bool closesJob(const JobRowRecord& record) {
    return record.kind == JobRowKind::SearchEnd || record.kind == JobRowKind::CompareEnd;
}

// Column `column` of the row as the list shows it, into a 600-byte text.
void writeJobRowCell(const JobRowRecord& record, int column, char* text);
