// The comparison as a plain byte-by-byte loop over two contents held in
// memory: the yardstick for the block compares of the engine.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/compare/compare_files.h"
#include "engine/compare/similarity.h"
#include "engine/rows/result_list.h"

struct ReferenceResult {
    std::vector<ResultRow> rows;  // the File-mode report of a run to its end
    uint32_t percent = 0;         // the directory-mode result
};

// How the bytes of a run show is the run texts' own rule (tested on its own);
// the reference decides which bytes a run holds.
inline std::string referenceByteText(uint8_t byte) {
    char text[quotedTextSize(1)];
    formatByteValue(byte, text);
    return text;
}

inline std::string referenceQuote(const uint8_t* bytes, uint32_t count) {
    char text[quotedTextSize(kQuotedBytesMax)];
    quoteBytes(bytes, count, text);
    return text;
}

// Both contents non-empty.
inline ReferenceResult referenceComparison(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    ReferenceResult result;
    const uint32_t largerSize = static_cast<uint32_t>(std::max(a.size(), b.size()));
    const uint32_t compareSize = static_cast<uint32_t>(std::min(a.size(), b.size()));
    uint32_t differing = largerSize - compareSize;
    result.rows.push_back(
        {"Start", "", differing == 0 ? "Files are the same size" : "Files are not the same size"});
    uint32_t remaining = compareSize;
    uint32_t position = 0;
    uint32_t runLength = 0;
    bool endOfData = false;
    while (!endOfData) {
        const uint32_t chunkLength = std::min(remaining, kChunkLength);
        uint32_t left = chunkLength;
        if (chunkLength == 0) {
            endOfData = true;
            left = 1;
        } else {
            differing += runLength;
            runLength = 0;
        }
        for (; left >= 1; --left, ++position) {
            if (!endOfData && a[position] != b[position]) {
                ++runLength;
                continue;
            }
            if (runLength == 0) continue;
            const uint32_t start = position - runLength;
            std::string details;
            if (left + runLength >= kChunkLength) {
                details = "Different";
            } else if (runLength == 1) {
                details =
                    "File A is " + referenceByteText(a[start]) + ", File B is " + referenceByteText(b[start]);
            } else {
                const uint32_t shown = std::min(runLength, 20u);
                details = "File A is " + referenceQuote(&a[start], shown) + ", File B is " +
                          referenceQuote(&b[start], shown);
            }
            result.rows.push_back({std::to_string(start), std::to_string(runLength), details});
            differing += runLength;
            runLength = 0;
        }
        remaining -= chunkLength;
    }
    result.percent = similarityPercent(largerSize, differing);
    result.rows.push_back(
        {"End", "",
         differing == 0 ? "Same" : "Files have " + std::to_string(result.percent) + "% in common"});
    return result;
}
