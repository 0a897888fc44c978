// A state record wired for one comparison: row store, buffers for the
// directory modes, and counters for the front-end hooks.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "engine/app_state.h"
#include "engine/compare.h"
#include "engine/fs.h"
#include "engine/pair_pass.h"
#include "engine/result_store.h"

struct ComparisonState {
    AppState state;
    ResultStore list;
    int updateCalls = 0;
    int noMemoryCalls = 0;
    uint64_t bytesRead = 0;

    ComparisonState(const std::string& pathA, const std::string& pathB, SearchMode mode = FileMode) {
        state.results = &list;
        state.settings.searchMode = mode;
        std::strcpy(state.settings.pathA, pathA.c_str());
        std::strcpy(state.settings.pathB, pathB.c_str());
        state.updateControls = [this] { ++updateCalls; };
        state.reportNoMemory = [this] { ++noMemoryCalls; };
        // Counts the bytes read; every read still goes to the file.
        state.readBlock = [this](fs::File* file, void* buffer, uint32_t count) {
            const int64_t delivered = fs::readFile(file, buffer, count);
            if (delivered > 0) bytesRead += static_cast<uint64_t>(delivered);
            return delivered;
        };
        if (mode != FileMode) {
            // What the search provides: zero-filled blocks that outlive each pair.
            state.compareBufferA = allocateZeroed(state, kSearchBufferSize);
            state.compareBufferB = allocateZeroed(state, kSearchBufferSize);
        }
    }
    ComparisonState(const ComparisonState&) = delete;
    ComparisonState& operator=(const ComparisonState&) = delete;
    ~ComparisonState() {
        releaseBlock(state, state.compareBufferA);
        releaseBlock(state, state.compareBufferB);
    }

    // The search's comparison of the pair, listing from `matchPercent` on.
    uint32_t searchPercent(uint32_t matchPercent = 0) {
        return comparePairInPieces(state, state.settings.pathA, state.settings.pathB, matchPercent);
    }

    std::vector<ResultRow> fileReport() {
        compareFiles(state);
        return list.rows();
    }
};

inline ResultRow row(const std::string& a, const std::string& b, const std::string& c) {
    return ResultRow{a, b, c};
}
