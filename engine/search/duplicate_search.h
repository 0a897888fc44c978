// The duplicate search of a folder tree.
#pragma once

#include "engine/job/app_state.h"
#include "engine/job/job_outcome.h"
#include "engine/job/search_options.h"

// Worker body of a "Directory" or "Quick Dir" search (options.mode): indexes
// `folder`, lists every pair of files whose share of equal bytes reaches
// options.matchPercent, and closes with "End" or "Aborted" and the twin
// count. Ends with runState Idle, runControl Running and the pause gate open;
// the saved pathA and pathB then name the last pair it took up.
SearchOutcome searchDuplicates(AppState& state, const char* folder, const SearchOptions& options);
