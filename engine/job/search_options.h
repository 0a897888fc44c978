// What a duplicate search is told when it starts. The window takes it from the
// saved settings at Start, the command line from its flags; the search reads
// nothing of the settings itself, so a menu choice can never reach a running search.
#pragma once

#include <cstdint>

#include "engine/job/settings.h"

// How "Directory" decides its pairs at 90% and above, where both ways serve:
// the block listing, or comparing files of similar size held in memory. Both
// list the same rows; the search takes the one its cost estimate finds cheaper
// unless it is told which (the reference tests run each).
enum DirectoryRoute { CheaperRoute, ListingRoute, MemoryRoute };

struct SearchOptions {
    SearchMode mode = QuickDirMode;
    // Pairs are listed from this share of equal bytes on (0 counts as 1).
    uint32_t matchPercent = 95;
    // "Quick Dir": only files of equal checksum pair.
    bool useHash = true;
    // A folder left without files that will not go is tried again after its attributes are reset.
    bool overrideReadOnly = false;
    DirectoryRoute directoryRoute = CheaperRoute;
};

inline SearchOptions searchOptionsOf(const Settings& settings) {
    return SearchOptions{static_cast<SearchMode>(settings.searchMode), settings.matchPercent,
                         settings.useHash != 0, settings.overrideReadOnly != 0};
}
