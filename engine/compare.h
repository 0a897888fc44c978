// Byte-by-byte comparison of two files (pathA, pathB of the settings).
#pragma once

#include <cstdint>

#include "engine/app_state.h"

// In File mode: the worker of a two-file comparison, writing the report rows.
// In the directory modes: returns the percentage of equal bytes, 0..100.
uint32_t compareFiles(AppState& state);
