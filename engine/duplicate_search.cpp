#include "engine/duplicate_search.h"

#include "engine/compare.h"
#include "engine/file_index.h"
#include "engine/twin_candidates.h"
#include "engine/twin_pairing.h"

namespace {

bool obtainBlocks(AppState& state, FileIndex& index) {
    state.compareBufferA = allocateZeroed(state, kSearchBufferSize);
    state.compareBufferB = state.compareBufferA ? allocateZeroed(state, kSearchBufferSize) : nullptr;
    if (state.compareBufferB != nullptr && obtainFileIndex(state, index)) return true;
    releaseBlock(state, state.compareBufferA);
    releaseBlock(state, state.compareBufferB);
    return false;
}

void releaseBlocks(AppState& state, FileIndex& index) {
    releaseBlock(state, state.compareBufferA);
    releaseBlock(state, state.compareBufferB);
    releaseFileIndex(state, index);
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

// Walks the folder and prepares the pairs; false when pairing must not run
// (nothing found, or an abort came first).
bool indexAndGroup(AppState& state, FileIndex& index, TwinCandidates& candidates) {
    PathText searchFolder;
    copyPathText(searchFolder, state.settings.pathA);
    state.runState.store(Indexing);
    indexFolder(state, index, searchFolder);
    const bool found = state.indexCount.load() != 0 && state.runControl.load() != AbortRequested;
    const bool grouped = found && findTwinCandidates(state, index, candidates);
    state.runState.store(Pairing);
    state.removeEmptyDirs.store(0);
    return grouped && state.runControl.load() != AbortRequested;
}

}  // namespace

uint32_t searchDuplicates(AppState& state) {
    state.indexCount.store(0);
    state.twinCount.store(0);
    state.updateControls();
    state.results->clearRows();
    FileIndex index;
    if (!obtainBlocks(state, index)) {
        state.reportNoMemory();
        endJob(state);
        state.updateControls();
        return 0;
    }
    state.results->insertRow(0, "Indexing....");
    TwinCandidates candidates;
    uint32_t rowCounter = 0;
    if (indexAndGroup(state, index, candidates)) {
        const uint32_t count = state.indexCount.load();
        state.results->deleteRow(0);
        writeRowWithCount(state, 0, "Start", count, " files found.");
        rowCounter = pairEntries(state, index, candidates, 1);
    }
    const char* closing = state.runControl.load() == Running ? "End" : "Aborted";
    writeRowWithCount(state, static_cast<int>(rowCounter), closing, state.twinCount.load(), " twins found");
    releaseBlocks(state, index);
    endJob(state);
    state.checkZeroLength.store(0);
    state.progressPercent.store(kProgressFinished);
    state.updateControls();
    return 0;
}
