// The File-mode comparison: a worker that lists every run of differing bytes
// and closes the report with a verdict.
#include <algorithm>
#include <cstring>

#include "engine/compare/byte_diff.h"
#include "engine/compare/compare_files.h"
#include "engine/compare/compare_pair.h"
#include "engine/compare/similarity.h"
#include "engine/rows/result_list.h"

namespace {

constexpr std::size_t kFileModeBufferSize = 10000064;
// Above this compared size, progress is computed on sizes divided by 65,536.
constexpr uint32_t kProgressScalingSize = 20000000;

// Working values of one File-mode run.
class RunReport {
public:
    RunReport(AppState& state, const OpenPair& pair)
        : state_(state),
          list_(*state.results),
          compareSize_(pair.compareSize),
          differingBytes_(pair.largerSize - pair.compareSize) {}

    void writeStartRow();
    // The chunk loop; Compared, or ReadFailed when a read came up short.
    PairOutcome comparePasses(OpenPair& pair);
    uint32_t differingBytes() const { return differingBytes_; }
    int lastRow() const { return rowIndex_; }

private:
    // Reads and examines the current chunk; false when a read came up short.
    bool compareChunk(OpenPair& pair);
    // Lists the runs that close in the piece at `pieceStart` of the chunk, whose
    // bytes stand at the start of the buffers; a run may stay open.
    void findRuns(uint32_t pieceStart, uint32_t length);
    // Keeps the first quoted bytes of the open run from `from` of the piece on:
    // the piece that holds them is gone once the next one is read.
    void keepQuote(uint32_t from, uint32_t length);
    void closeRun(uint32_t runStart, uint32_t runLength, uint32_t bytesLeftInChunk);
    void updateProgress();

    AppState& state_;
    ResultList& list_;
    const uint32_t compareSize_;
    uint32_t differingBytes_;
    uint32_t runLength_ = 0;   // a run still open at the end of the last chunk
    uint32_t chunkStart_ = 0;  // file offset of the current chunk's first byte
    uint32_t chunkLength_ = 0;
    bool inRun_ = false;                    // a run is open in the current chunk
    uint32_t runStart_ = 0;                 // where in the chunk it began
    uint8_t quoteA_[kQuotedBytesMax] = {};  // the open run's first bytes, as far as read
    uint8_t quoteB_[kQuotedBytesMax] = {};
    uint32_t quoteKept_ = 0;
    int rowIndex_ = 0;
};

void RunReport::writeStartRow() {
    list_.insertJobRow(
        0, JobRowRecord{JobRowKind::CompareStart, JobEnd::Completed, 0,
                        differingBytes_ == 0 ? "Files are the same size" : "Files are not the same size"});
}

PairOutcome RunReport::comparePasses(OpenPair& pair) {
    state_.bytesRemaining = compareSize_;
    do {
        const uint32_t chunkLength = std::min(state_.bytesRemaining, kChunkLength);
        if (chunkLength == 0) {
            // End of data: one equal position past the last chunk closes a run still open, with its row.
            state_.runState = EndReached;
            holdAtGate(state_, kComparisonGateTimeoutMs);
            if (runLength_ > 0) closeRun(chunkLength_ - runLength_, runLength_, 1);
            runLength_ = 0;
        } else {
            chunkStart_ = compareSize_ - state_.bytesRemaining;
            chunkLength_ = chunkLength;
            if (!compareChunk(pair)) return PairOutcome::ReadFailed;
        }
        state_.bytesRemaining -= chunkLength;
        updateProgress();
    } while (state_.runState == Comparing);  // an abort sets runState; looked at between chunks only
    return PairOutcome::Compared;
}

bool RunReport::compareChunk(OpenPair& pair) {
    // A run left open by the previous chunk is counted without a row.
    differingBytes_ += runLength_;
    runLength_ = 0;
    inRun_ = false;
    const ChunkEnd end =
        readAndExamineChunk(state_, pair, chunkLength_, [this](uint32_t offset, uint32_t length) {
            findRuns(offset, length);
            return true;
        });
    if (inRun_) runLength_ = chunkLength_ - runStart_;
    return end != ChunkEnd::ReadFailed;
}

void RunReport::findRuns(uint32_t pieceStart, uint32_t length) {
    const uint8_t* a = state_.compareBufferA;
    const uint8_t* b = state_.compareBufferB;
    if (inRun_) keepQuote(0, length);
    uint32_t position = 0;
    while (position < length) {
        if (!inRun_) {
            position = findDifferentByte(a, b, position, length);
            if (position == length) return;
            inRun_ = true;
            runStart_ = pieceStart + position;
            quoteKept_ = 0;
            keepQuote(position, length);
        } else {
            position = findEqualByte(a, b, position, length);
            if (position == length) return;
            const uint32_t runEnd = pieceStart + position;
            closeRun(runStart_, runEnd - runStart_, chunkLength_ - runEnd);
            inRun_ = false;
        }
    }
}

void RunReport::keepQuote(uint32_t from, uint32_t length) {
    const uint32_t count = std::min(kQuotedBytesMax - quoteKept_, length - from);
    std::memcpy(quoteA_ + quoteKept_, state_.compareBufferA + from, count);
    std::memcpy(quoteB_ + quoteKept_, state_.compareBufferB + from, count);
    quoteKept_ += count;
}

void RunReport::closeRun(uint32_t runStart, uint32_t runLength, uint32_t bytesLeftInChunk) {
    RunRecord run;
    run.offset = chunkStart_ + runStart;
    run.length = runLength;
    // A run that starts a full chunk is not spelled out.
    if (bytesLeftInChunk + runLength < kChunkLength) {
        run.quoted = static_cast<uint8_t>(std::min(runLength, kQuotedBytesMax));
        std::memcpy(run.bytesA, quoteA_, run.quoted);
        std::memcpy(run.bytesB, quoteB_, run.quoted);
    }
    list_.insertRunRow(++rowIndex_, run);
    list_.ensureVisible(rowIndex_);
    differingBytes_ += runLength;
}

void RunReport::updateProgress() {
    uint32_t remaining = state_.bytesRemaining;
    uint32_t base = compareSize_;
    if (compareSize_ > kProgressScalingSize) {
        remaining >>= 16;
        base >>= 16;
    }
    state_.progressPercent = (base - remaining) * 100 / base;
}

void writeVerdict(PairOutcome outcome, uint32_t largerSize, uint32_t differingBytes, char* text) {
    switch (outcome) {
        case PairOutcome::SizeFault: std::strcpy(text, "Fault"); return;
        case PairOutcome::OpenFailed: std::strcpy(text, "Error opening file"); return;
        case PairOutcome::ZeroBytes: std::strcpy(text, "Zero Bytes"); return;
        case PairOutcome::ReadFailed: std::strcpy(text, "Error reading file"); return;
        case PairOutcome::Compared: break;
    }
    if (differingBytes == 0) {
        std::strcpy(text, "Same");
        return;
    }
    char percent[12];
    formatDecimal(static_cast<int>(similarityPercent(largerSize, differingBytes)), percent);
    joinPathText(text, "Files have ", percent, "% in common");
}

// How the run ended, as its closing row says it.
JobEnd runEnd(const AppState& state, bool hadMemory) {
    if (!hadMemory) return JobEnd::NoMemory;
    return state.runControl == Running ? JobEnd::Completed : JobEnd::Aborted;
}

// Opens and checks the pair and lists its runs into `result`; `closingRow`
// and `largerSize` are what the closing row needs. False when memory ran out:
// the rows so far stay, as after an abort.
bool writeRuns(AppState& state, const char* pathA, const char* pathB, CompareOutcome& result, int& closingRow,
               uint32_t& largerSize) {
    OpenPair pair;
    bool opened = false;
    const bool hadMemory = withinMemory([&] {
        result.pair = openAndCheckSizes(state, pair, pathA, pathB);
        opened = true;
    });
    if (!opened || result.pair != PairOutcome::Compared) return hadMemory;
    RunReport report(state, pair);
    const bool listed = withinMemory([&] {
        report.writeStartRow();
        result.pair = report.comparePasses(pair);
    });
    closingRow = report.lastRow() + 1;
    largerSize = pair.largerSize;
    result.differingBytes = report.differingBytes();
    result.runRows = static_cast<uint32_t>(report.lastRow());
    return listed;
}

// "End" or "Aborted" with the verdict; a comparison that memory cut short
// gets none, and so does a row that finds no room for its verdict. False when
// the row could not be had with its verdict.
bool writeClosingRow(AppState& state, int row, const CompareOutcome& result, uint32_t largerSize) {
    PathText verdict{};
    if (result.end != JobEnd::NoMemory) writeVerdict(result.pair, largerSize, result.differingBytes, verdict);
    const bool withVerdict = withinMemory([&] {
        state.results->insertJobRow(row, JobRowRecord{JobRowKind::CompareEnd, result.end, 0, verdict});
    });
    const bool closed =
        withVerdict || withinMemory([&] {
            state.results->insertJobRow(row, JobRowRecord{JobRowKind::CompareEnd, result.end, 0, {}});
        });
    if (closed) state.results->ensureVisible(row);
    return withVerdict;
}

}  // namespace

CompareOutcome compareFiles(AppState& state, const char* pathA, const char* pathB) {
    state.runState = Comparing;
    state.updateControls();
    state.results->clearRows();
    CompareOutcome result;
    CompareBuffers buffers(state, kFileModeBufferSize);
    if (!buffers) {
        result.end = JobEnd::NoMemory;  // no file is opened and no row is written
    } else {
        int closingRow = 0;
        uint32_t largerSize = 0;
        const bool hadMemory = writeRuns(state, pathA, pathB, result, closingRow, largerSize);
        buffers.release();
        result.end = runEnd(state, hadMemory);
        if (!writeClosingRow(state, closingRow, result, largerSize)) result.end = JobEnd::NoMemory;
    }
    if (result.end == JobEnd::NoMemory) state.reportNoMemory();
    endJob(state);
    state.updateControls();
    return result;
}
