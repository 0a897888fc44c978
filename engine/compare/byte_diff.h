// Block compares of two equally long byte ranges. Stretches where the ranges
// agree are skipped a block or a word at a time; bytes are looked at one by
// one only where they differ.
#pragma once

#include <cstdint>
#include <vector>

// Number of positions in [0, length) at which `a` and `b` hold different bytes.
uint32_t countDifferingBytes(const uint8_t* a, const uint8_t* b, uint32_t length);

// The same count, but it may stop once it exceeds `limit`: the result is
// exact when it is at most `limit`, otherwise some number above `limit`.
uint32_t countDifferingBytesUpTo(const uint8_t* a, const uint8_t* b, uint32_t length, uint32_t limit);

// A way of counting, as countDifferingBytesUpTo counts.
using DifferingCount = uint32_t (*)(const uint8_t* a, const uint8_t* b, uint32_t length, uint32_t limit);
struct CountMethod {
    const char* name;
    DifferingCount count;
};

// The ways this processor can count, fastest first, words last: the counts above use the first.
const std::vector<CountMethod>& countMethods();

// First position in [from, end) at which the bytes differ; `end` when none does.
uint32_t findDifferentByte(const uint8_t* a, const uint8_t* b, uint32_t from, uint32_t end);

// First position in [from, end) at which the bytes are equal; `end` when none is.
uint32_t findEqualByte(const uint8_t* a, const uint8_t* b, uint32_t from, uint32_t end);
