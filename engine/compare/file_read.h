// Reading a file as every comparison and search does: through the state's read
// hook when a test sets one.
#pragma once

#include <cstdint>

#include "engine/base/fs.h"
#include "engine/job/app_state.h"

// Reads up to `count` bytes through the state's read hook or from the file;
// returns the bytes delivered (counted in state.bytesRead), -1 on a failed read.
int64_t readFromFile(AppState& state, fs::File* file, void* buffer, uint32_t count);
