// A run row of a "File" comparison as the comparison found it: where the
// differing bytes start, how many there are, and the first of them from each
// file, from which the row's three texts are made when they are shown.
#pragma once

#include <cstdint>

constexpr uint32_t kQuotedBytesMax = 20;

struct RunRecord {
    uint32_t offset = 0;
    uint32_t length = 0;
    // Bytes of each file kept for the details text; 0 for a run that starts a
    // full chunk, whose details read "Different".
    uint8_t quoted = 0;
    uint8_t bytesA[kQuotedBytesMax] = {};
    uint8_t bytesB[kQuotedBytesMax] = {};
};

// Column `column` (0 position, 1 length, 2 details) of the row into a 600-byte text.
void writeRunCell(const RunRecord& run, int column, char* text);
