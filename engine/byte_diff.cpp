#include "engine/byte_diff.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#include <emmintrin.h>
#define KESTROW_VECTOR_COUNT 1
#endif

namespace {

// The platform's natural word: 8 bytes on 64-bit builds, 4 on 32-bit ones.
using Word = uintptr_t;
constexpr uint32_t kWordBytes = sizeof(Word);
constexpr Word kLowBits = ~Word(0) / 255;    // 0x0101...
constexpr Word kLow7Bits = kLowBits * 0x7F;  // 0x7F7F...
constexpr Word kHighBits = kLowBits * 0x80;  // 0x8080...
// Equal stretches are skipped with the library's block compare in steps of this size.
constexpr uint32_t kSkipBlock = 4096;
// Most bytes counted between two looks at the limit: few enough vector steps
// (64 per counter) that no byte counter of the vector count can overflow.
constexpr uint32_t kCountBlock = 2048;
// Fewest bytes counted between two looks, so that each look pays for itself.
constexpr uint32_t kLeastCountBlock = 64;

// Bytes to count before the next look at the limit: no more than the count
// needs to pass the limit (rounded up to kLeastCountBlock), so that a count
// near its limit stops soon after it passes.
uint32_t nextCountBlock(uint32_t left, uint32_t count, uint32_t limit) {
    const uint64_t toPass = (uint64_t{limit} - count + kLeastCountBlock) & ~uint64_t{kLeastCountBlock - 1};
    return static_cast<uint32_t>(std::min<uint64_t>({left, kCountBlock, toPass}));
}

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

#ifdef KESTROW_VECTOR_COUNT
// Counts equal bytes 16 at a time: each compare gives -1 per equal byte, subtracted into byte
// counters that a sum of absolute differences adds up once per block.
__attribute__((target("sse2"))) uint32_t countUpToBySse2(const uint8_t* a, const uint8_t* b, uint32_t length,
                                                         uint32_t limit) {
    const __m128i zero = _mm_setzero_si128();
    uint32_t count = 0;
    for (uint32_t position = 0, block = 0; position < length && count <= limit; position += block) {
        block = nextCountBlock(length - position, count, limit);
        const uint32_t vectorEnd = position + (block & ~15u);
        __m128i equal0 = zero, equal1 = zero;
        uint32_t i = position;
        for (; vectorEnd - i >= 32; i += 32) {
            const __m128i a0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i));
            const __m128i b0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i));
            const __m128i a1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i + 16));
            const __m128i b1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i + 16));
            equal0 = _mm_sub_epi8(equal0, _mm_cmpeq_epi8(a0, b0));
            equal1 = _mm_sub_epi8(equal1, _mm_cmpeq_epi8(a1, b1));
        }
        if (i < vectorEnd) {
            const __m128i a0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i));
            const __m128i b0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i));
            equal0 = _mm_sub_epi8(equal0, _mm_cmpeq_epi8(a0, b0));
            i += 16;
        }
        const __m128i sums = _mm_add_epi64(_mm_sad_epu8(equal0, zero), _mm_sad_epu8(equal1, zero));
        const uint32_t equal = static_cast<uint32_t>(_mm_cvtsi128_si32(sums)) +
                               static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(sums, 8)));
        count += (vectorEnd - position) - equal;
        for (; i < position + block; ++i) count += a[i] != b[i];
    }
    return count;
}
#endif

using CountUpTo = uint32_t (*)(const uint8_t*, const uint8_t*, uint32_t, uint32_t);

// The vector count where the processor has it: always on x86-64; on 32-bit x86
// only when the processor says so, since the program also runs on processors
// without it.
CountUpTo chooseCount() {
#if defined(__x86_64__)
    return countUpToBySse2;
#elif defined(KESTROW_VECTOR_COUNT)
    unsigned int eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) && (edx & bit_SSE2) != 0) return countUpToBySse2;
    return countDifferingBytesByWords;
#else
    return countDifferingBytesByWords;
#endif
}

const CountUpTo countUpTo = chooseCount();

}  // namespace

uint32_t countDifferingBytes(const uint8_t* a, const uint8_t* b, uint32_t length) {
    return countUpTo(a, b, length, 0xFFFFFFFFu);
}

uint32_t countDifferingBytesUpTo(const uint8_t* a, const uint8_t* b, uint32_t length, uint32_t limit) {
    return countUpTo(a, b, length, limit);
}

uint32_t countDifferingBytesByWords(const uint8_t* a, const uint8_t* b, uint32_t length, uint32_t limit) {
    uint32_t count = 0;
    for (uint32_t position = 0, block = 0; position < length && count <= limit; position += block) {
        block = nextCountBlock(length - position, count, limit);
        if (std::memcmp(a + position, b + position, block) != 0)
            count += countByWords(a + position, b + position, block);
    }
    return count;
}

bool vectorCountInUse() {
#ifdef KESTROW_VECTOR_COUNT
    return countUpTo == countUpToBySse2;
#else
    return false;
#endif
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
