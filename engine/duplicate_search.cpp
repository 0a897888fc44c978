#include "engine/duplicate_search.h"

#include "engine/block_index.h"
#include "engine/compare.h"
#include "engine/file_index.h"
#include "engine/listed_pairs.h"
#include "engine/pair_windows.h"
#include "engine/quick_dir_search.h"
#include "engine/twin_candidates.h"
#include "engine/twin_pairing.h"

namespace {

void writeRowWithCount(AppState& state, int row, const char* label, uint32_t count, const char* suffix) {
    char number[kPathTextSize];
    char text[kPathTextSize];
    formatDecimal(static_cast<int>(count), number);
    joinPathText(text, number, suffix);
    state.results->insertRow(row, label);
    state.results->setCell(row, 1, text);
    state.results->ensureVisible(row);  // the closing row ends a long list in view
}

// Walks the folder; false when pairing must not run (nothing found, an abort
// came first, or the index ran out of memory before the tree was walked).
bool indexTree(AppState& state, FileIndex& index, const SearchOptions& options, const char* folder) {
    state.runState.store(Indexing);
    indexFolder(state, index, options, folder);
    state.runState.store(Pairing);
    state.removeEmptyDirs.store(0);
    return index.count() != 0 && !index.outOfMemory() && state.runControl.load() != AbortRequested;
}

// Decides the "Directory" pairs the way that looks cheaper, the other when it
// cannot serve; false when neither can, and the search visits every pair.
bool decideDirectoryPairs(AppState& state, const FileIndex& index, const SearchOptions& options,
                          TwinCandidates& candidates) {
    const bool windowsFirst =
        options.directoryRoute == WindowsRoute ||
        (options.directoryRoute == CheaperRoute && windowsLookCheaper(state, index, options));
    if (windowsFirst && decideInWindows(state, index, options, candidates)) return true;
    if (listTwinCandidates(state, index, options, candidates)) {
        decideListedPairs(state, index, options, candidates);
        return true;
    }
    return !windowsFirst && decideInWindows(state, index, options, candidates);
}

// Lists the twins from row 1 on; false when memory for the pairing ran out.
bool pairTree(AppState& state, FileIndex& index, const SearchOptions& options, LastPair& last) {
    const uint32_t firstTwinRow = 1;
    if (options.mode == QuickDirMode) {
        bool outOfMemory = false;
        pairBySize(state, index, options, firstTwinRow, outOfMemory, last);
        return !outOfMemory;
    }
    TwinCandidates candidates;
    state.progressPercent.store(0);
    if (!decideDirectoryPairs(state, index, options, candidates))
        findTwinCandidates(state, index, candidates);
    pairEntries(state, index, options, candidates, firstTwinRow, last, state.progressPercent.load());
    return true;
}

// The saved pathA and pathB keep the last pair the search took up: the last
// file taken as A and the last file compared with it.
void keepLastPair(Settings& settings, const FileIndex& index, const LastPair& last) {
    if (last.entryA != kNoEntry) copyPathText(settings.pathA, index.entry(last.entryA).path);
    if (last.entryB != kNoEntry) copyPathText(settings.pathB, index.entry(last.entryB).path);
}

// Indexes `folder` and lists its twins below the opening row, counting both
// into `result`; `started` once the "Start" row stands. False when the search
// could not hold the whole tree, its pieces or its rows. The index is given
// back on the way out.
bool listTwins(AppState& state, const char* folder, const SearchOptions& options, SearchOutcome& result,
               bool& started) {
    FileIndex index;
    LastPair last;
    bool complete = true;
    const bool hadMemory = withinMemory([&] {
        state.results->insertRow(0, "Indexing....");
        if (indexTree(state, index, options, folder)) {
            state.results->deleteRow(0);
            started = true;
            writeRowWithCount(state, 0, "Start", index.count(), " files found.");
            complete = pairTree(state, index, options, last);
        } else {
            complete = !index.outOfMemory();
        }
    });
    keepLastPair(state.settings, index, last);
    result.files = index.count();
    result.twins = state.twinCount.load();
    return complete && hadMemory;
}

}  // namespace

SearchOutcome searchDuplicates(AppState& state, const char* folder, const SearchOptions& options) {
    state.indexCount.store(0);
    state.filesFound.store(0);
    state.currentFileText.replace(PathText{});  // nothing of the last search shows in this one
    state.twinCount.store(0);
    state.updateControls();
    state.results->clearRows();
    SearchOutcome result;
    CompareBuffers buffers(state, kSearchBufferSize);
    if (!buffers) {
        state.reportNoMemory();
        endJob(state);
        state.updateControls();
        result.end = JobEnd::NoMemory;
        return result;
    }
    bool started = false;
    const bool complete = listTwins(state, folder, options, result, started);
    // The search's own memory goes first, so that the closing row finds room after memory ran out.
    buffers.release();
    const bool ranToEnd = complete && state.runControl.load() == Running;
    // The closing row follows the twin rows listed, whatever stopped the search.
    const bool closed = withinMemory([&] {
        writeRowWithCount(state, started ? static_cast<int>(result.twins + 1) : 0,
                          ranToEnd ? "End" : "Aborted", result.twins, " twins found");
    });
    result.end = !complete || !closed ? JobEnd::NoMemory : ranToEnd ? JobEnd::Completed : JobEnd::Aborted;
    if (result.end == JobEnd::NoMemory) state.reportNoMemory();
    endJob(state);
    state.checkZeroLength.store(0);
    state.progressPercent.store(kProgressFinished);
    state.updateControls();
    return result;
}
