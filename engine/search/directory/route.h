// "Directory": which route decides the pairs, and the deciding itself.
//
// First what can serve. The block listing serves only where its blocks hold
// for the percentage and the largest file (engine/search/directory/block_layout.h)
// and at least two files may pair; the memory route serves wherever its block
// of memory can be had. Then, where both can, the one the estimate from the
// files' sizes finds cheaper, unless the search is told a route. A route that
// cannot serve after all (memory, too many pairs) gives way to the other, and
// the plain pass over every pair takes what neither serves.
#pragma once

#include "engine/index/file_index.h"
#include "engine/job/app_state.h"
#include "engine/job/search_options.h"
#include "engine/job/search_report.h"
#include "engine/search/pairs/candidates.h"

struct RouteChoice {
    DirectoryRoute route = PlainRoute;  // ListingRoute, MemoryRoute or PlainRoute
    const char* reason = "";
};

RouteChoice chooseDirectoryRoute(const AppState& state, const FileIndex& index, const SearchOptions& options);

// Decides the pairs along `choice`, filling `candidates` for the plain pass
// (engine/search/pairs/plain_pass.h): listed pairs, decided or not, or every
// pair chained when the plain pass takes them all. Notes in `report` the
// route that served, and why when it is not the one chosen.
void decideDirectoryPairs(AppState& state, const FileIndex& index, const SearchOptions& options,
                          const RouteChoice& choice, TwinCandidates& candidates, SearchReport& report);

// The route's name as --route and the report spell it.
const char* routeName(DirectoryRoute route);
