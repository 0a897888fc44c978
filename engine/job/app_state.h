// AppState: the one record through which workers and the window meet. The
// program has exactly one; each test builds its own. Fields that a worker and
// the window share are atomics: every read and write is whole, and every loop
// re-reads them.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <functional>
#include <new>
#include <stdexcept>

#include "engine/base/locked_path_text.h"
#include "engine/base/path_text.h"
#include "engine/base/pause_gate.h"
#include "engine/job/run_state.h"
#include "engine/job/settings.h"

class ResultList;
namespace fs {
struct File;
}

struct AppState {
    // Saved settings (searchMode, matchPercent, useHash, pathA, pathB, ...).
    Settings settings{};

    std::atomic<uint32_t> runState{Idle};
    std::atomic<uint32_t> runControl{Running};
    std::atomic<uint32_t> progressPercent{0};
    std::atomic<uint32_t> twinCount{0};
    std::atomic<uint32_t> indexCount{0};
    // Files the folder walk has found so far, counted as its listings are read,
    // so the count moves during a long listing before its files are indexed.
    std::atomic<uint32_t> filesFound{0};
    // One-shot options: start at 0, never saved, cleared again by the search.
    std::atomic<uint32_t> removeEmptyDirs{0};
    std::atomic<uint32_t> checkZeroLength{0};

    PauseGate pauseGate;
    // The file in hand; written by the worker, shown by the window.
    LockedPathText currentFileText;

    // The two read buffers of a comparison (owned by the job that allocated them).
    uint8_t* compareBufferA = nullptr;
    uint8_t* compareBufferB = nullptr;
    uint32_t bytesRemaining = 0;

    // Front-end seams. The engine never prompts the user itself.
    ResultList* results = nullptr;
    // Called at the start and end of every comparison job.
    std::function<void()> updateControls = [] {};
    // Called when a worker cannot get its buffers ("Not enough memory").
    std::function<void()> reportNoMemory = [] {};
    // Allocation hook so tests can make a buffer request fail; returns
    // zero-filled memory or nullptr.
    std::function<uint8_t*(std::size_t)> allocateBlock;
    std::function<void(uint8_t*)> releaseBlock;
    // Read hook so tests can make a file read come up short; unset reads the file.
    std::function<int64_t(fs::File*, void*, uint32_t)> readBlock;
    // Bytes the job's reads delivered so far (readFromFile), for the search's report.
    std::atomic<uint64_t> bytesRead{0};
};

// Zero-filled block from the state's allocator (the process heap by default).
uint8_t* allocateZeroed(AppState& state, std::size_t bytes);
void releaseBlock(AppState& state, uint8_t*& block);

// A zero-filled block of the state's allocator, given back when its owner goes.
class OwnedBlock {
public:
    OwnedBlock() = default;
    // Empty when the memory cannot be had.
    OwnedBlock(AppState& state, std::size_t bytes) : state_(&state), block_(allocateZeroed(state, bytes)) {}
    OwnedBlock(OwnedBlock&& other) noexcept : state_(other.state_), block_(other.block_) {
        other.block_ = nullptr;
    }
    OwnedBlock& operator=(OwnedBlock&& other) noexcept {
        if (this != &other) {
            reset();
            state_ = other.state_;
            block_ = other.block_;
            other.block_ = nullptr;
        }
        return *this;
    }
    OwnedBlock(const OwnedBlock&) = delete;
    OwnedBlock& operator=(const OwnedBlock&) = delete;
    ~OwnedBlock() { reset(); }

    uint8_t* get() const { return block_; }
    explicit operator bool() const { return block_ != nullptr; }
    // Gives the block back now; the owner is then empty.
    void reset() {
        if (block_ != nullptr) releaseBlock(*state_, block_);
    }

private:
    AppState* state_ = nullptr;
    uint8_t* block_ = nullptr;
};

// The largest block of `sizes` (largest first), each taken as no more than
// `most`, that can be had, its size in `bytes`; empty when none can.
template <std::size_t N>
OwnedBlock largestBlockOf(AppState& state, const std::size_t (&sizes)[N], std::size_t& bytes,
                          std::size_t most = ~std::size_t{0}) {
    std::size_t tried = 0;
    for (const std::size_t size : sizes) {
        if (std::min(size, most) == tried) continue;
        tried = std::min(size, most);
        OwnedBlock block(state, tried);
        bytes = tried;
        if (block) return block;
    }
    return OwnedBlock();
}

// The two read buffers of a comparison job, placed in the state's
// compareBufferA/B for as long as the owner holds them.
class CompareBuffers {
public:
    // Both blocks of `bytesEach`, or neither when memory cannot be had.
    CompareBuffers(AppState& state, std::size_t bytesEach);
    CompareBuffers(const CompareBuffers&) = delete;
    CompareBuffers& operator=(const CompareBuffers&) = delete;
    ~CompareBuffers() { release(); }

    explicit operator bool() const { return static_cast<bool>(blockB_); }
    // Gives both back now.
    void release();

private:
    AppState& state_;
    OwnedBlock blockA_;
    OwnedBlock blockB_;
};

// Every way out of a comparison or a search: Idle and Running again, and the
// gate open so that no job starts behind a closed one. The caller then tells
// the window (updateControls).
void endJob(AppState& state);

// Holds a job while it is paused, or until a wait at the closed gate has
// lasted `timeoutMs`; false when an abort is requested.
bool holdAtGate(AppState& state, uint32_t timeoutMs = kWaitForever);

// Holds a helper thread of a job (a reader, a lister) while the job is
// paused, asking `released` every `recheckMs` whether its owner has let it go;
// false when the job is aborted or the helper released.
template <typename Released>
bool holdHelperAtGate(AppState& state, uint32_t recheckMs, Released released) {
    while (state.runControl.load() == Paused || !state.pauseGate.isOpen()) {
        if (!holdAtGate(state, recheckMs) || released()) return false;
    }
    return state.runControl.load() != AbortRequested;
}

// Abort, from the window, the close path or the command line: opens the gate
// so a paused worker runs on, then asks the worker to stop.
void requestAbort(AppState& state);

// Runs `work`; false when memory ran out in it (std::bad_alloc), which then
// goes no further than here. What `work` holds is given back by then. Asks
// for no memory itself.
template <typename Work>
bool withinMemory(Work&& work) {
    try {
        work();
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {  // a container asked for more than it can ever hold
        return false;
    }
}
