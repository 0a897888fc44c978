#include "engine/app_state.h"

#include <cstdlib>

#include "engine/worker_thread.h"

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

bool holdAtGate(AppState& state) {
    // Abort opens the gate a moment before it says so, and Pause says so a moment before it closes
    // the gate: a gate found open while the search reads Paused is waited out.
    while (state.runControl.load() == Paused || !state.pauseGate.isOpen()) {
        if (state.pauseGate.isOpen()) {
            sleepMilliseconds(1);
        } else {
            state.pauseGate.waitGate(kWaitForever);
        }
    }
    return state.runControl.load() != AbortRequested;
}

