// What a search did, stage by stage, for whoever wants to see it (the command
// line's --explain): the route it took and why, and each stage's time and the
// bytes its reads delivered. It changes nothing the search lists.
#pragma once

#include <cstdint>

struct StageReport {
    const char* name = "";
    double seconds = 0;
    uint64_t bytesRead = 0;
};

struct SearchReport {
    // "listing", "memory" or "plain" for "Directory", "size groups" for "Quick Dir".
    const char* route = "";
    const char* reason = "";
    // Set when the route chosen could not serve after all and another took over.
    const char* fallback = "";
    static constexpr int kMostStages = 4;
    StageReport stages[kMostStages];
    int stageCount = 0;
};
