// The duplicate search of a folder tree (pathA of the settings).
#pragma once

#include <cstdint>

#include "engine/app_state.h"

// Worker body of a "Directory" or "Quick Dir" search: indexes the folder in
// pathA, lists every pair of files whose share of equal bytes reaches
// matchPercent, and closes with "End" or "Aborted" and the twin count. Ends
// with runState Idle, runControl Running and the pause gate open.
uint32_t searchDuplicates(AppState& state);
