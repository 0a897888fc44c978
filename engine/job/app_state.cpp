#include "engine/job/app_state.h"

#include <cstdlib>

#include "engine/base/worker_thread.h"

uint8_t* allocateZeroed(AppState& state, std::size_t bytes) {
    if (state.allocateBlock) return state.allocateBlock(bytes);
    return static_cast<uint8_t*>(std::calloc(bytes, 1));
}

void releaseBlock(AppState& state, uint8_t*& block) {
    if (block == nullptr) return;
    if (state.releaseBlock) {
        state.releaseBlock(block);
    } else {
        std::free(block);
    }
    block = nullptr;
}

CompareBuffers::CompareBuffers(AppState& state, std::size_t bytesEach)
    : state_(state), blockA_(state, bytesEach) {
    if (blockA_) blockB_ = OwnedBlock(state, bytesEach);
    if (!blockB_) blockA_.reset();
    state.compareBufferA = blockA_.get();
    state.compareBufferB = blockB_.get();
}

void CompareBuffers::release() {
    state_.compareBufferA = nullptr;
    state_.compareBufferB = nullptr;
    blockA_.reset();
    blockB_.reset();
}

void endJob(AppState& state) {
    state.runState = Idle;
    state.runControl = Running;
    state.pauseGate.openGate();
}

bool holdAtGate(AppState& state, uint32_t timeoutMs) {
    // Abort opens the gate a moment before it says so, and Pause says so a moment before it closes
    // the gate: a gate found open while the job reads Paused is waited out.
    while (state.runControl.load() == Paused || !state.pauseGate.isOpen()) {
        if (state.pauseGate.isOpen()) {
            sleepMilliseconds(1);
        } else if (!state.pauseGate.waitGate(timeoutMs)) {
            break;
        }
    }
    return state.runControl.load() != AbortRequested;
}

void requestAbort(AppState& state) {
    state.pauseGate.openGate();
    state.runState = EndReached;
    state.runControl = AbortRequested;
}
