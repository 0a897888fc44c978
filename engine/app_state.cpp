#include "engine/app_state.h"

#include <cstdlib>

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
