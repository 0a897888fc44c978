// A state record wired for one comparison: row store, buffers for the
// directory modes, and counters for the front-end hooks.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/base/fs.h"
#include "engine/compare/compare_files.h"
#include "engine/job/app_state.h"
#include "engine/rows/result_store.h"
#include "engine/search/pairs/pair_compare.h"

struct ComparisonState {
    AppState state;
    ResultStore list;
    std::string pathA;
    std::string pathB;
    int updateCalls = 0;
    int noMemoryCalls = 0;
    uint64_t bytesRead = 0;

    ComparisonState(const std::string& a, const std::string& b, SearchMode mode = FileMode)
        : pathA(a), pathB(b) {
        state.results = &list;
        state.updateControls = [this] { ++updateCalls; };
        state.reportNoMemory = [this] { ++noMemoryCalls; };
        // Counts the bytes read; every read still goes to the file.
        state.readBlock = [this](fs::File* file, void* buffer, uint32_t count) {
            const int64_t delivered = fs::readFile(file, buffer, count);
            if (delivered > 0) bytesRead += static_cast<uint64_t>(delivered);
            return delivered;
        };
        // What the search provides: zero-filled blocks that outlive each pair.
        if (mode != FileMode) searchBuffers.emplace(state, kSearchBufferSize);
    }
    ComparisonState(const ComparisonState&) = delete;
    ComparisonState& operator=(const ComparisonState&) = delete;

    // The search's comparison of the pair, listing from `matchPercent` on.
    uint32_t searchPercent(uint32_t matchPercent = 0) {
        return comparePairInPieces(state, pathA.c_str(), pathB.c_str(), matchPercent);
    }

    // The "File" comparison of the pair.
    CompareOutcome compare() { return outcome = compareFiles(state, pathA.c_str(), pathB.c_str()); }

    std::vector<ResultRow> fileReport() {
        compare();
        return list.rows();
    }

    CompareOutcome outcome;
    std::optional<CompareBuffers> searchBuffers;
};

inline ResultRow row(const std::string& a, const std::string& b, const std::string& c) {
    return ResultRow{a, b, c};
}
