// Placeholder until the search exists.
#include "engine/duplicate_search.h"

uint32_t searchDuplicates(AppState&) { return 0; }
