// The first pieces of the files a "Quick Dir" search is about to settle, read
// by a few threads of their own, a bounded number of files ahead of the
// search. A cold disk then has several requests in flight instead of one, and
// on a warm one the opening and reading share the machine's cores. The search
// still takes every piece in its own order and on its own terms, so what it
// reads, and every row it lists, is what it would read by itself.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "engine/base/worker_thread.h"
#include "engine/index/file_index.h"
#include "engine/job/app_state.h"
#include "engine/rows/twin_record.h"

// Reads `length` bytes at `offset` of the file at `position` into `slot`; with
// `facts`, first notes what the opened file is. False when the file cannot be
// opened, its size is no longer the one the walk listed, or it delivers fewer
// bytes than asked.
bool readFilePiece(AppState& state, const FileIndex& index, uint32_t position, uint64_t offset,
                   uint32_t length, uint8_t* slot, TwinFileFacts* facts);

// The longest piece a plan may hold.
constexpr uint32_t kPlannedPieceBytes = 64u << 10;

// A file whose first piece the search will read, in the order it reads them.
struct PlannedPiece {
    uint32_t position;
    uint32_t length;
};

class PieceReadAhead {
public:
    // Starts the readers over `plan`; without their memory or threads the
    // search reads every piece itself, as take() then does.
    PieceReadAhead(AppState& state, const FileIndex& index, std::vector<PlannedPiece> plan);
    // Stops the readers once each has finished the piece in its hands.
    ~PieceReadAhead();
    PieceReadAhead(const PieceReadAhead&) = delete;
    PieceReadAhead& operator=(const PieceReadAhead&) = delete;

    // The next planned piece, copied to `target`, with its file's facts; what
    // readFilePiece would return for it. Reads it here when no reader has
    // finished it yet.
    bool takeNext(uint8_t* target, TwinFileFacts& facts);

private:
    struct Slot {
        bool busy = false;   // a reader is filling it
        bool ready = false;  // holds the piece of plan entry `planned`
        uint32_t planned = 0;
        bool read = false;
        TwinFileFacts facts;
    };
    void readAhead();
    // True once the owner has told the helpers to stop.
    bool stopped();
    // The next plan entry for a reader; false when none is left or the readers must stop.
    bool claim(uint32_t& at);
    uint8_t* bytesOf(uint32_t at) const;

    AppState& state_;
    const FileIndex& index_;
    const std::vector<PlannedPiece> plan_;
    OwnedBlock block_;
    std::vector<Slot> slots_;
    Mutex lock_;
    // Under lock_: the next entry no one has taken up, the next one the search takes.
    uint32_t claimed_ = 0;
    uint32_t taken_ = 0;
    bool stop_ = false;
    Signal slotFree_;
    // Enough requests in flight to keep a disk busy, few enough for a 2-core machine.
    std::array<WorkerThread, 3> readers_;
};
