#include "engine/compare/file_read.h"

int64_t readFromFile(AppState& state, fs::File* file, void* buffer, uint32_t count) {
    if (state.readBlock) return state.readBlock(file, buffer, count);
    return fs::readFile(file, buffer, count);
}
