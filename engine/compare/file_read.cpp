#include "engine/compare/file_read.h"

int64_t readFromFile(AppState& state, fs::File* file, void* buffer, uint32_t count) {
    const int64_t got =
        state.readBlock ? state.readBlock(file, buffer, count) : fs::readFile(file, buffer, count);
    if (got > 0) state.bytesRead.fetch_add(static_cast<uint64_t>(got), std::memory_order_relaxed);
    return got;
}
