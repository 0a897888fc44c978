#include "engine/search/directory/route.h"

#include "engine/search/directory/block_listing.h"
#include "engine/search/directory/listed_pairs.h"
#include "engine/search/directory/memory_pairs.h"

namespace {

bool decideAlong(AppState& state, const FileIndex& index, const SearchOptions& options, DirectoryRoute route,
                 TwinCandidates& candidates) {
    if (route == MemoryRoute) return decideInMemory(state, index, options, candidates);
    if (route != ListingRoute || !listTwinCandidates(state, index, options, candidates)) return false;
    decideListedPairs(state, index, options, candidates);
    return true;
}

}  // namespace

const char* routeName(DirectoryRoute route) {
    switch (route) {
        case ListingRoute: return "listing";
        case MemoryRoute: return "memory";
        case PlainRoute: return "plain";
        case CheaperRoute: break;
    }
    return "cheaper";
}

RouteChoice chooseDirectoryRoute(const AppState& state, const FileIndex& index,
                                 const SearchOptions& options) {
    const bool listingServes = listingCanServe(state, index, options);
    switch (options.directoryRoute) {
        case PlainRoute: return {PlainRoute, "told so"};
        case MemoryRoute: return {MemoryRoute, "told so"};
        case ListingRoute:
            if (listingServes) return {ListingRoute, "told so"};
            return {MemoryRoute,
                    "told the listing, whose blocks do not hold at this percentage and these sizes"};
        case CheaperRoute: break;
    }
    if (!listingServes)
        return {MemoryRoute, "the listing's blocks do not hold at this percentage and these sizes"};
    if (memoryLooksCheaper(state, index, options))
        return {MemoryRoute, "both serve; the estimate from the sizes finds memory cheaper"};
    return {ListingRoute, "both serve; the estimate from the sizes finds the listing cheaper"};
}

void decideDirectoryPairs(AppState& state, const FileIndex& index, const SearchOptions& options,
                          const RouteChoice& choice, TwinCandidates& candidates, SearchReport& report) {
    report.route = routeName(choice.route);
    report.reason = choice.reason;
    if (choice.route == PlainRoute) {
        findTwinCandidates(state, index, candidates);
        return;
    }
    if (decideAlong(state, index, options, choice.route, candidates)) return;
    const DirectoryRoute other = choice.route == ListingRoute ? MemoryRoute : ListingRoute;
    if (decideAlong(state, index, options, other, candidates)) {
        report.route = routeName(other);
        report.fallback = "the route chosen could not serve (memory, or too many pairs)";
        return;
    }
    report.route = routeName(PlainRoute);
    report.fallback = "neither route could serve (memory, or too many pairs)";
    findTwinCandidates(state, index, candidates);
}
