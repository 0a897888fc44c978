// "Delete ALL" decided before anything is touched: from the twin records of
// the row store, which files the run acts on, how, and where the recycle
// hand-overs fall. Reads the store only; touches no file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/rows/result_store.h"

// The most paths one recycle hand-over carries.
constexpr std::size_t kHandOverPaths = 1001;

enum class BatchAction { Leave, Recycle, Delete, Move };

struct BatchStep {
    int row = 0;
    BatchAction action = BatchAction::Leave;
    std::string path;         // the file of the chosen column
    std::string twin;         // the other file of the row, which must keep the content
    TwinFileFacts pathFacts;  // what the search learnt of each of the two files
    TwinFileFacts twinFacts;
    std::string destination;     // Move only
    bool handOverAfter = false;  // Recycle only: the queued paths go to the shell after this step
};

// One step per file of the chosen column, at the first 100% row that names
// it, in row order: a file that is twin to many others is acted on once, and
// counted once, instead of being found gone in every later row. A step is
// kept as its row alone until it is taken; planStep makes it whole from the
// row store.
struct BatchPlan {
    uint32_t column = 0;
    BatchAction action = BatchAction::Leave;
    std::string moveDirectory;
    std::vector<int> rows;
    std::size_t size() const { return rows.size(); }
};

// Walks the rows from row 1 up to the first row that holds no twin and
// plans each file that has a path in `column` (0 for "File A", 1 for
// "File B") of a twin of exactly 100%, once. `mode` is a BatchDeleteMode; an unknown mode
// leaves every file where it is. MoveTo needs `moveDirectory` to be a full
// folder ending with "\": otherwise, and when a destination would not fit a
// path text, the file is left where it is. When `stopRequested` turns true
// during the walk the plan is empty: a stopped run touches nothing.
BatchPlan planBatch(
    const ResultStore& rows, uint32_t column, uint32_t mode, const char* moveDirectory,
    const std::function<bool()>& stopRequested = [] { return false; });

// Step `at` of `plan`, from `rows`, which hold the rows planned.
BatchStep planStep(const BatchPlan& plan, const ResultStore& rows, std::size_t at);

// What a run did with the files of its plan, told to the user at its end.
struct BatchTally {
    uint32_t planned = 0;
    uint32_t removed = 0;
    uint32_t kept = 0;    // the re-check found the twin missing or no longer the same
    uint32_t failed = 0;  // the removal or move did not happen
};

// What the confirmation says the run will do: how many files of which column
// go where, e.g. "2 files of Column B will be deleted for good.", or why
// every file will stay. `moveDirectory` is the folder as the run will use it.
std::string batchPromptText(std::size_t files, uint32_t column, uint32_t mode, const char* moveDirectory);

// What a run did, said at its end whatever happened: "Deleted R of N files
// for good. Kept K." with, when K is not 0, how many of them were kept by the
// re-check, could not be removed, or were not reached after a stop.
std::string batchOutcomeText(const BatchTally& tally, uint32_t mode, const char* moveDirectory);

// Appends "\" to the 600-byte `text` unless it already ends with one. An empty
// text (no folder chosen) stays empty. Returns false, leaving `text` as it
// was, when the "\" would not fit.
bool ensureTrailingBackslash(char* text);

// `name` := the characters of `path` after its last "\"; a path without "\"
// is taken whole. `name` has room for a path text.
void fileNamePart(const char* path, char* name);
