#include "engine/byte_diff.h"

#include <cstddef>
#include <cstring>

namespace {

// The platform's natural word: 8 bytes on 64-bit builds, 4 on 32-bit ones.
using Word = uintptr_t;
constexpr uint32_t kWordBytes = sizeof(Word);
constexpr Word kLowBits = ~Word(0) / 255;    // 0x0101...
constexpr Word kLow7Bits = kLowBits * 0x7F;  // 0x7F7F...
constexpr Word kHighBits = kLowBits * 0x80;  // 0x8080...
// Equal stretches are skipped with the library's block compare in steps of this size.
constexpr uint32_t kSkipBlock = 4096;

Word loadWord(const uint8_t* bytes) {
    Word word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

// High bit of every byte of `x` that is not zero; exact, no carry between bytes.
Word nonZeroBytes(Word x) {
    return (((x & kLow7Bits) + kLow7Bits) | x) & kHighBits;
}

uint32_t countNonZeroBytes(Word x) {
    // One bit per non-zero byte, summed into the top byte by the multiplication.
    return static_cast<uint32_t>(((nonZeroBytes(x) >> 7) * kLowBits) >> (8 * (kWordBytes - 1)));
}

uint32_t countByWords(const uint8_t* a, const uint8_t* b, uint32_t length) {
    uint32_t count = 0;
    uint32_t position = 0;
    for (; length - position >= kWordBytes; position += kWordBytes) {
        count += countNonZeroBytes(loadWord(a + position) ^ loadWord(b + position));
    }
    for (; position < length; ++position) count += a[position] != b[position];
    return count;
}

}  // namespace

uint32_t countDifferingBytes(const uint8_t* a, const uint8_t* b, uint32_t length) {
    uint32_t count = 0;
    for (uint32_t position = 0; position < length; position += kSkipBlock) {
        const uint32_t block = length - position < kSkipBlock ? length - position : kSkipBlock;
        if (std::memcmp(a + position, b + position, block) != 0)
            count += countByWords(a + position, b + position, block);
    }
    return count;
}

uint32_t findDifferentByte(const uint8_t* a, const uint8_t* b, uint32_t from, uint32_t end) {
    uint32_t position = from;
    while (end - position >= kSkipBlock && std::memcmp(a + position, b + position, kSkipBlock) == 0) {
        position += kSkipBlock;
    }
    while (end - position >= kWordBytes && loadWord(a + position) == loadWord(b + position)) {
        position += kWordBytes;
    }
    while (position < end && a[position] == b[position]) ++position;
    return position;
}

uint32_t findEqualByte(const uint8_t* a, const uint8_t* b, uint32_t from, uint32_t end) {
    uint32_t position = from;
    while (end - position >= kWordBytes &&
           nonZeroBytes(loadWord(a + position) ^ loadWord(b + position)) == kHighBits) {
        position += kWordBytes;
    }
    while (position < end && a[position] != b[position]) ++position;
    return position;
}
