// Block compares of two equally long byte ranges. Stretches where the ranges
// agree are skipped a block or a word at a time; bytes are looked at one by
// one only where they differ.
#pragma once

#include <cstdint>

// Number of positions in [0, length) at which `a` and `b` hold different bytes.
uint32_t countDifferingBytes(const uint8_t* a, const uint8_t* b, uint32_t length);

// First position in [from, end) at which the bytes differ; `end` when none does.
uint32_t findDifferentByte(const uint8_t* a, const uint8_t* b, uint32_t from, uint32_t end);

// First position in [from, end) at which the bytes are equal; `end` when none is.
uint32_t findEqualByte(const uint8_t* a, const uint8_t* b, uint32_t from, uint32_t end);
