#include "engine/duplicate_search.h"

#include "engine/block_index.h"
#include "engine/compare.h"
#include "engine/file_index.h"
#include "engine/pair_windows.h"
#include "engine/quick_dir_search.h"
#include "engine/twin_candidates.h"
#include "engine/twin_pairing.h"

namespace {

bool obtainBuffers(AppState& state) {
    state.compareBufferA = allocateZeroed(state, kSearchBufferSize);
    state.compareBufferB = state.compareBufferA ? allocateZeroed(state, kSearchBufferSize) : nullptr;
    if (state.compareBufferB != nullptr) return true;
    releaseBlock(state, state.compareBufferA);
    return false;
}

void releaseBlocks(AppState& state, FileIndex& index) {
    releaseBlock(state, state.compareBufferA);
    releaseBlock(state, state.compareBufferB);
    index.release();
}

// Back to Idle with an open gate, so that no job starts behind a closed one.
void endJob(AppState& state) {
    state.runState.store(Idle);
    state.runControl.store(Running);
    state.pauseGate.openGate();
}

void writeRowWithCount(AppState& state, int row, const char* label, uint32_t count, const char* suffix) {
    char number[kPathTextSize];
    char text[kPathTextSize];
    formatDecimal(static_cast<int>(count), number);
    joinPathText(text, number, suffix);
    state.results->insertRow(row, label);
    state.results->setCell(row, 1, text);
}

// Walks the folder; false when pairing must not run (nothing found, an abort
// came first, or the index ran out of memory before the tree was walked).
bool indexTree(AppState& state, FileIndex& index) {
    PathText searchFolder;
    copyPathText(searchFolder, state.settings.pathA);
    state.runState.store(Indexing);
    indexFolder(state, index, searchFolder);
    state.runState.store(Pairing);
    state.removeEmptyDirs.store(0);
    return index.count() != 0 && !index.outOfMemory() && state.runControl.load() != AbortRequested;
}

// Lists the twins from row 1 on; false when memory for the pairing ran out.
bool pairTree(AppState& state, FileIndex& index, uint32_t& rowCounter) {
    if (state.settings.searchMode == QuickDirMode) {
        bool outOfMemory = false;
        rowCounter = pairBySize(state, index, rowCounter, outOfMemory);
        return !outOfMemory;
    }
    TwinCandidates candidates;
    state.progressPercent.store(0);
    if (!listTwinCandidates(state, index, candidates) && !decideInWindows(state, index, candidates))
        findTwinCandidates(state, index, candidates);
    rowCounter = pairEntries(state, index, candidates, rowCounter, state.progressPercent.load());
    return true;
}

}  // namespace

uint32_t searchDuplicates(AppState& state) {
    state.indexCount.store(0);
    state.twinCount.store(0);
    state.updateControls();
    state.results->clearRows();
    FileIndex index;
    if (!obtainBuffers(state)) {
        state.reportNoMemory();
        endJob(state);
        state.updateControls();
        return 0;
    }
    bool started = false;
    // A search that could not hold the whole tree, its pieces or its rows is never shown as complete.
    bool complete = true;
    const bool hadMemory = withinMemory([&] {
        state.results->insertRow(0, "Indexing....");
        if (indexTree(state, index)) {
            state.results->deleteRow(0);
            started = true;
            writeRowWithCount(state, 0, "Start", index.count(), " files found.");
            uint32_t rowCounter = 1;
            complete = pairTree(state, index, rowCounter);
        } else {
            complete = !index.outOfMemory();
        }
    });
    // The search's own memory goes first, so that the closing row finds room after memory ran out.
    releaseBlocks(state, index);
    complete = complete && hadMemory;
    const char* closing = complete && state.runControl.load() == Running ? "End" : "Aborted";
    // The closing row follows the twin rows listed, whatever stopped the search.
    const uint32_t twins = state.twinCount.load();
    const bool closed = withinMemory([&] {
        writeRowWithCount(state, started ? static_cast<int>(twins + 1) : 0, closing, twins, " twins found");
    });
    if (!complete || !closed) state.reportNoMemory();
    endJob(state);
    state.checkZeroLength.store(0);
    state.progressPercent.store(kProgressFinished);
    state.updateControls();
    return 0;
}
