#include "engine/search/duplicate_search.h"

#include "engine/base/clock.h"
#include "engine/compare/compare_files.h"
#include "engine/index/file_index.h"
#include "engine/rows/result_list.h"
#include "engine/search/directory/route.h"
#include "engine/search/pairs/candidates.h"
#include "engine/search/pairs/plain_pass.h"
#include "engine/search/quick/quick_dir_search.h"

namespace {

void writeSearchRow(AppState& state, int row, JobRowKind kind, uint32_t count,
                    JobEnd end = JobEnd::Completed) {
    state.results->insertJobRow(row, JobRowRecord{kind, end, count, {}});
    state.results->ensureVisible(row);  // the closing row ends a long list in view
}

// A search is a short line of stages, each a type with one run:
//   IndexStage    walks the folder into the index;
//   RouteStage    "Directory": which route decides the pairs (engine/search/directory/route.h);
//   DecideStage   "Directory": the route decides the pairs it can;
//   ListStage     lists the twin rows: the plain pass over the pairs decided or
//                 still to compare, or "Quick Dir"'s groups of equal size.
// Each stage's time and bytes read go to the search's report.

// Times one stage into the report, with the bytes its reads delivered.
class StageClock {
public:
    StageClock(AppState& state, SearchReport& report, const char* name)
        : state_(state),
          report_(report),
          name_(name),
          start_(steadySeconds()),
          bytesBefore_(state.bytesRead.load()) {}
    StageClock(const StageClock&) = delete;
    StageClock& operator=(const StageClock&) = delete;
    ~StageClock() {
        if (report_.stageCount == SearchReport::kMostStages) return;
        StageReport& stage = report_.stages[report_.stageCount++];
        stage.name = name_;
        stage.seconds = steadySeconds() - start_;
        stage.bytesRead = state_.bytesRead.load() - bytesBefore_;
    }

private:
    AppState& state_;
    SearchReport& report_;
    const char* name_;
    double start_;
    uint64_t bytesBefore_;
};

// Walks the folder; false when pairing must not run (nothing found, an abort
// came first, or the index ran out of memory before the tree was walked).
struct IndexStage {
    bool run(AppState& state, FileIndex& index, const SearchOptions& options, const char* folder) {
        state.runState.store(Indexing);
        indexFolder(state, index, options, folder);
        state.runState.store(Pairing);
        state.removeEmptyDirs.store(0);
        return index.count() != 0 && !index.outOfMemory() && state.runControl.load() != AbortRequested;
    }
};

struct RouteStage {
    RouteChoice run(const AppState& state, const FileIndex& index, const SearchOptions& options) {
        return chooseDirectoryRoute(state, index, options);
    }
};

struct DecideStage {
    void run(AppState& state, const FileIndex& index, const SearchOptions& options, const RouteChoice& choice,
             TwinCandidates& candidates, SearchReport& report) {
        state.progressPercent.store(0);
        decideDirectoryPairs(state, index, options, choice, candidates, report);
    }
};

// Lists the twins from row 1 on; false when memory for the pairing ran out.
struct ListStage {
    bool run(AppState& state, FileIndex& index, const SearchOptions& options,
             const TwinCandidates& candidates, LastPair& last) {
        const uint32_t firstTwinRow = 1;
        if (options.mode == QuickDirMode) {
            bool outOfMemory = false;
            pairBySize(state, index, options, firstTwinRow, outOfMemory, last);
            return !outOfMemory;
        }
        pairEntries(state, index, options, candidates, firstTwinRow, last, state.progressPercent.load());
        return true;
    }
};

// The stages after the walk; false when memory for the pairing ran out.
bool pairTree(AppState& state, FileIndex& index, const SearchOptions& options, LastPair& last,
              SearchReport& report) {
    TwinCandidates candidates;
    if (options.mode == QuickDirMode) {
        report.route = "size groups";
        report.reason = "\"Quick Dir\" compares only files of equal size";
    } else {
        RouteChoice choice;
        {
            StageClock clock(state, report, "route");
            choice = RouteStage().run(state, index, options);
        }
        StageClock clock(state, report, "decide pairs");
        DecideStage().run(state, index, options, choice, candidates, report);
    }
    StageClock clock(state, report, "list rows");
    return ListStage().run(state, index, options, candidates, last);
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
        writeSearchRow(state, 0, JobRowKind::Indexing, 0);
        bool indexed = false;
        {
            StageClock clock(state, result.report, "index");
            indexed = IndexStage().run(state, index, options, folder);
        }
        if (indexed) {
            state.results->deleteRow(0);
            started = true;
            writeSearchRow(state, 0, JobRowKind::SearchStart, index.count());
            complete = pairTree(state, index, options, last, result.report);
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
    const JobEnd end = !complete ? JobEnd::NoMemory : ranToEnd ? JobEnd::Completed : JobEnd::Aborted;
    // The closing row follows the twin rows listed, whatever stopped the search.
    const bool closed = withinMemory([&] {
        writeSearchRow(state, started ? static_cast<int>(result.twins + 1) : 0, JobRowKind::SearchEnd,
                       result.twins, end);
    });
    result.end = closed ? end : JobEnd::NoMemory;
    if (result.end == JobEnd::NoMemory) state.reportNoMemory();
    endJob(state);
    state.checkZeroLength.store(0);
    state.progressPercent.store(kProgressFinished);
    state.updateControls();
    return result;
}
