#include "engine/search/quick/piece_read_ahead.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "engine/compare/file_read.h"
#include "engine/job/run_state.h"
#include "engine/search/pairs/listed_file.h"

namespace {

// Pieces held ahead of the search.
constexpr uint32_t kSlotCount = 32;
constexpr uint32_t kSlotBytes = kPlannedPieceBytes;
// Pieces the search reads itself once it has caught up with the readers.
constexpr uint32_t kCatchUpGap = 8;
// How long a waiting thread sleeps before it looks again without a wake-up call.
constexpr uint32_t kRecheckMs = 20;
// Readers that found every slot taken sleep until the search has emptied half
// of them, then refill them in one go: a warm cache would otherwise wake a
// reader for every piece the search takes.
constexpr uint32_t kRefillMark = kSlotCount / 2;

}  // namespace

bool readFilePiece(AppState& state, const FileIndex& index, uint32_t position, uint64_t offset,
                   uint32_t length, uint8_t* slot, TwinFileFacts* facts) {
    TwinFileFacts opened;
    const fs::OwnedFile file = openListedFile(index, position, facts != nullptr ? *facts : opened);
    bool read = static_cast<bool>(file);
    if (read && offset != 0) read = fs::seekFile(file.get(), offset);
    if (read && length != 0) read = readFromFile(state, file.get(), slot, length) == length;
    return read;
}

PieceReadAhead::PieceReadAhead(AppState& state, const FileIndex& index, std::vector<PlannedPiece> plan)
    : state_(state), index_(index), plan_(std::move(plan)) {
    // A read the caller injects sees every read in the search's own order, on its thread.
    if (state_.readBlock || plan_.size() < 2) return;
    block_ = OwnedBlock(state_, std::size_t{kSlotCount} * kSlotBytes);
    if (!block_) return;
    slots_.resize(kSlotCount);
    for (WorkerThread& reader : readers_) reader.start([this] { readAhead(); });
}

PieceReadAhead::~PieceReadAhead() {
    {
        const MutexLock hold(lock_);
        stop_ = true;
    }
    for (std::size_t i = 0; i < readers_.size(); ++i) slotFree_.notify();
    for (WorkerThread& reader : readers_) reader.join();
}

uint8_t* PieceReadAhead::bytesOf(uint32_t at) const {
    return block_.get() + std::size_t{at % kSlotCount} * kSlotBytes;
}

bool PieceReadAhead::stopped() {
    const MutexLock hold(lock_);
    return stop_;
}

bool PieceReadAhead::claim(uint32_t& at) {
    for (;;) {
        // Pause holds the readers as it holds the search; an abort ends them.
        if (!holdHelperAtGate(state_, kRecheckMs, [this] { return stopped(); })) return false;
        {
            const MutexLock hold(lock_);
            if (stop_ || claimed_ == plan_.size() || state_.runControl.load() == AbortRequested) return false;
            Slot& slot = slots_[claimed_ % kSlotCount];
            if (claimed_ - taken_ < kSlotCount && !slot.busy) {
                at = claimed_++;
                slot.busy = true;
                slot.ready = false;
                return true;
            }
        }
        slotFree_.wait(kRecheckMs);
    }
}

void PieceReadAhead::readAhead() {
    uint32_t at = 0;
    while (claim(at)) {
        Slot& slot = slots_[at % kSlotCount];
        // The slot is this reader's alone while it is busy.
        bool read = false, done = true;
        try {
            read = readFilePiece(state_, index_, plan_[at].position, 0, plan_[at].length, bytesOf(at),
                                 &slot.facts);
        } catch (const std::bad_alloc&) {
            done = false;  // the search reads the file itself
        }
        bool refilling = false;
        {
            const MutexLock hold(lock_);
            slot.busy = false;
            slot.planned = at;
            slot.read = read;
            slot.ready = done;
            refilling = claimed_ - taken_ < kRefillMark;
        }
        if (refilling) slotFree_.notify();
    }
}

bool PieceReadAhead::takeNext(uint8_t* target, TwinFileFacts& facts) {
    uint32_t at = 0;
    bool ready = false;
    {
        const MutexLock hold(lock_);
        at = taken_;
        if (!slots_.empty()) {
            const Slot& slot = slots_[at % kSlotCount];
            ready = slot.ready && slot.planned == at;
        }
        // A search that has caught up with the readers (a warm cache) reads the next few pieces
        // itself and sends the readers further ahead, rather than racing them for one file.
        const uint32_t gap = ready ? 1 : kCatchUpGap;
        claimed_ = std::max<uint32_t>(claimed_, std::min<std::size_t>(at + gap, plan_.size()));
    }
    const PlannedPiece& piece = plan_[at];
    state_.currentFileText.write(index_.entry(piece.position).path);
    bool read = false;
    if (ready) {
        // The slot stays put until taken_ moves past it.
        const Slot& slot = slots_[at % kSlotCount];
        facts = slot.facts;
        read = slot.read;
        if (read) std::memcpy(target, bytesOf(at), piece.length);
    } else {
        // A piece the readers have not finished is read here rather than waited for: the search
        // never idles behind a reader that the machine has not yet given a turn.
        read = readFilePiece(state_, index_, piece.position, 0, piece.length, target, &facts);
    }
    bool refill = false;
    {
        const MutexLock hold(lock_);
        taken_ = at + 1;
        refill = claimed_ - taken_ <= kRefillMark;
    }
    if (refill) slotFree_.notify();
    return read;
}
