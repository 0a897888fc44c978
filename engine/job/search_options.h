// What a duplicate search is told when it starts. The window takes it from the
// saved settings at Start, the command line from its flags; the search reads
// nothing of the settings itself, so a menu choice can never reach a running search.
#pragma once

#include <cstdint>

#include "engine/job/file_filter.h"
#include "engine/job/settings.h"

// How "Directory" decides its pairs: the block listing, comparing files of
// similar size held in memory, or the plain pass over every pair. All list the
// same rows; the search takes the cheaper of those that can serve unless it is
// told which (the reference tests run each; the command line's --route, for
// benchmarks). A route told that cannot serve gives way as the cheaper would.
enum DirectoryRoute { CheaperRoute, ListingRoute, MemoryRoute, PlainRoute };

struct SearchOptions {
    SearchMode mode = QuickDirMode;
    // Pairs are listed from this share of equal bytes on (0 counts as 1).
    uint32_t matchPercent = 95;
    // "Quick Dir": only files of equal checksum pair.
    bool useHash = true;
    // A folder left without files that will not go is tried again after its attributes are reset.
    bool overrideReadOnly = false;
    DirectoryRoute directoryRoute = CheaperRoute;
    // What the walk leaves out; the window leaves nothing out.
    FileFilter filter = {};
};

inline SearchOptions searchOptionsOf(const Settings& settings) {
    return SearchOptions{static_cast<SearchMode>(settings.searchMode), settings.matchPercent,
                         settings.useHash != 0, settings.overrideReadOnly != 0};
}
