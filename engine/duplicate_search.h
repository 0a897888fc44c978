// The duplicate search of a folder tree (pathA of the settings).
#pragma once

#include <cstdint>

#include "engine/app_state.h"

// Worker body of a "Directory" or "Quick Dir" search.
uint32_t searchDuplicates(AppState& state);
