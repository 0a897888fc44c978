// The percentage rule: how much of a pair is in common, and how many differing
// bytes a pair may hold and still reach a percentage.
#pragma once

#include <cstdint>

// Percentage of equal bytes, 0..100, counted against the larger size
// (`largerSize` >= 1, `differingBytes` <= `largerSize`). Above 50,000 bytes
// both are scaled down by 1,024. Only a pair without any differing byte gets 100.
uint32_t similarityPercent(uint32_t largerSize, uint32_t differingBytes);

// The largest differingBytes for which similarityPercent(largerSize, ...)
// still reaches `matchPercent` (above 100 taken as 100). A pair whose size
// difference alone exceeds it can be skipped without reading.
uint32_t maxDifferingBytesFor(uint32_t largerSize, uint32_t matchPercent);
