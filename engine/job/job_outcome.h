// What a comparison or a search hands back to whoever started it: how it
// ended and what it counted. The command line takes its exit status from it.
#pragma once

#include <cstdint>

#include "engine/job/search_report.h"
#include "engine/rows/job_row.h"

// What became of a pair before or while its bytes were compared.
enum class PairOutcome { Compared, OpenFailed, SizeFault, ZeroBytes, ReadFailed };

struct CompareOutcome {
    JobEnd end = JobEnd::Completed;
    // The verdict: Compared gives "Same" or the percentage in common.
    PairOutcome pair = PairOutcome::Compared;
    uint32_t differingBytes = 0;
    uint32_t runRows = 0;
};

struct SearchOutcome {
    JobEnd end = JobEnd::Completed;
    uint32_t files = 0;
    uint32_t twins = 0;
    SearchReport report;
};
