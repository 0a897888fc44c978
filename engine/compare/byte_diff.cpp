#include "engine/compare/byte_diff.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#include <immintrin.h>
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

// The count of processors without vector compares.
uint32_t countDifferingBytesByWords(const uint8_t* a, const uint8_t* b, uint32_t length, uint32_t limit) {
    uint32_t count = 0;
    for (uint32_t position = 0, block = 0; position < length && count <= limit; position += block) {
        block = nextCountBlock(length - position, count, limit);
        if (std::memcmp(a + position, b + position, block) != 0)
            count += countByWords(a + position, b + position, block);
    }
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

// The same 32 bytes at a time, on processors with 32-byte vector compares.
__attribute__((target("avx2"))) uint32_t countUpToByAvx2(const uint8_t* a, const uint8_t* b, uint32_t length,
                                                         uint32_t limit) {
    const __m256i zero = _mm256_setzero_si256();
    uint32_t count = 0;
    for (uint32_t position = 0, block = 0; position < length && count <= limit; position += block) {
        block = nextCountBlock(length - position, count, limit);
        const uint32_t vectorEnd = position + (block & ~31u);
        __m256i equal0 = zero, equal1 = zero;
        uint32_t i = position;
        for (; vectorEnd - i >= 64; i += 64) {
            const __m256i a0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(a + i));
            const __m256i b0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b + i));
            const __m256i a1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(a + i + 32));
            const __m256i b1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b + i + 32));
            equal0 = _mm256_sub_epi8(equal0, _mm256_cmpeq_epi8(a0, b0));
            equal1 = _mm256_sub_epi8(equal1, _mm256_cmpeq_epi8(a1, b1));
        }
        if (i < vectorEnd) {
            const __m256i a0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(a + i));
            const __m256i b0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b + i));
            equal0 = _mm256_sub_epi8(equal0, _mm256_cmpeq_epi8(a0, b0));
            i += 32;
        }
        const __m256i sums = _mm256_add_epi64(_mm256_sad_epu8(equal0, zero), _mm256_sad_epu8(equal1, zero));
        const uint32_t equal = static_cast<uint32_t>(_mm256_extract_epi32(sums, 0)) +
                               static_cast<uint32_t>(_mm256_extract_epi32(sums, 2)) +
                               static_cast<uint32_t>(_mm256_extract_epi32(sums, 4)) +
                               static_cast<uint32_t>(_mm256_extract_epi32(sums, 6));
        count += (vectorEnd - position) - equal;
        for (; i < position + block; ++i) count += a[i] != b[i];
    }
    return count;
}

// Whether the processor has 32-byte vector compares and the system saves their
// registers (a system that does not leaves the OSXSAVE flag off).
bool hasAvx2() {
    unsigned int eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx) || (ecx & bit_OSXSAVE) == 0 || (ecx & bit_AVX) == 0)
        return false;
    unsigned int low = 0, high = 0;
    __asm__("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
    if ((low & 6) != 6) return false;  // the system saves the 16- and 32-byte registers
    return __get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx) && (ebx & bit_AVX2) != 0;
}

bool hasSse2() {
#if defined(__x86_64__)
    return true;
#else
    unsigned int eax = 0, ebx = 0, ecx = 0, edx = 0;
    return __get_cpuid(1, &eax, &ebx, &ecx, &edx) && (edx & bit_SSE2) != 0;
#endif
}
#endif

// The counts this processor can run, fastest first: 32- and 16-byte vector
// compares where it has them (the 32-bit program also runs on processors
// without), then words.
std::vector<CountMethod> findCountMethods() {
    std::vector<CountMethod> methods;
#ifdef KESTROW_VECTOR_COUNT
    if (hasAvx2()) methods.push_back(CountMethod{"AVX2", countUpToByAvx2});
    if (hasSse2()) methods.push_back(CountMethod{"SSE2", countUpToBySse2});
#endif
    methods.push_back(CountMethod{"words", countDifferingBytesByWords});
    return methods;
}

const std::vector<CountMethod> kCountMethods = findCountMethods();
const DifferingCount countUpTo = kCountMethods.front().count;

}  // namespace

uint32_t countDifferingBytes(const uint8_t* a, const uint8_t* b, uint32_t length) {
    return countUpTo(a, b, length, 0xFFFFFFFFu);
}

uint32_t countDifferingBytesUpTo(const uint8_t* a, const uint8_t* b, uint32_t length, uint32_t limit) {
    return countUpTo(a, b, length, limit);
}

const std::vector<CountMethod>& countMethods() {
    return kCountMethods;
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
