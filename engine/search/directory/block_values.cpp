#include "engine/search/directory/block_values.h"

#include <algorithm>
#include <cstring>

#include "engine/compare/file_read.h"
#include "engine/search/pairs/candidates.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

uint32_t blockValue(const uint8_t* bytes, uint32_t width) {
    if (width > 8 && width <= 16) {
        // Two words that overlap in the middle cover the block.
        uint64_t first, last;
        std::memcpy(&first, bytes, 8);
        std::memcpy(&last, bytes + width - 8, 8);
        uint64_t value = (first ^ 0x9E3779B97F4A7C15ull) * 0xFF51AFD7ED558CCDull;
        value = (value ^ (value >> 32) ^ last) * 0xC4CEB9FE1A85EC53ull;
        value ^= value >> 29;
        return static_cast<uint32_t>(value ^ (value >> 32));
    }
    uint64_t value = 0x9E3779B97F4A7C15ull;
    uint32_t offset = 0;
    for (; offset + 8 <= width; offset += 8) {
        uint64_t word;
        std::memcpy(&word, bytes + offset, 8);
        value = (value ^ word) * 0xFF51AFD7ED558CCDull;
        value ^= value >> 32;
    }
    if (offset < width) {
        uint64_t word = 0;
        std::memcpy(&word, bytes + offset, width - offset);
        value = (value ^ word) * 0xC4CEB9FE1A85EC53ull;
    }
    value ^= value >> 29;
    return static_cast<uint32_t>(value ^ (value >> 32));
}

uint32_t shortBlockValue(const uint8_t* bytes, uint32_t width) {
    uint64_t word;
    std::memcpy(&word, bytes, 8);
    if (width < 8) word &= (uint64_t{1} << (8 * width)) - 1;  // the first bytes, little-endian
    uint64_t value = (word ^ 0x9E3779B97F4A7C15ull) * 0xC4CEB9FE1A85EC53ull;
    value ^= value >> 29;
    return static_cast<uint32_t>(value ^ (value >> 32));
}

void fillBlockValues(const uint8_t* bytes, uint32_t width, uint32_t blocks, uint32_t* values) {
    if (width <= 8) {
        for (uint32_t block = 0; block < blocks; ++block)
            values[block] = shortBlockValue(bytes + block * width, width);
    } else {
        for (uint32_t block = 0; block < blocks; ++block)
            values[block] = blockValue(bytes + block * width, width);
    }
}

uint32_t countDifferentValues(const uint32_t* a, const uint32_t* b, uint32_t count) {
    uint32_t at = 0, differing = 0;
#if defined(__SSE2__)
    // Four at a time: each lane counts its equal values down from zero.
    __m128i equal = _mm_setzero_si128();
    for (; at + 4 <= count; at += 4) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + at));
        const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + at));
        equal = _mm_add_epi32(equal, _mm_cmpeq_epi32(x, y));
    }
    uint32_t lanes[4];
    _mm_storeu_si128(reinterpret_cast<__m128i*>(lanes), equal);
    differing = at + (lanes[0] + lanes[1] + lanes[2] + lanes[3]);
#endif
    for (; at < count; ++at) differing += a[at] != b[at];
    return differing;
}

uint64_t valuesKey(const uint32_t* values, uint32_t count) {
    uint64_t key = count;
    for (uint32_t at = 0; at < count; ++at) key = (key ^ values[at]) * 0x100000001B3ull;
    return key;
}

namespace {

// Bytes read at a time while reading a file for its blocks.
constexpr uint32_t kReadPiece = 1u << 20;

}  // namespace

BlockValues::~BlockValues() {
    for (uint8_t*& values : blocks_.entries()) releaseBlock(state_, values);
}

void BlockValues::reset(uint32_t slots, uint32_t width) {
    blocks_.assign(slots, nullptr);
    width_ = width;
}

BlockValues::Outcome BlockValues::read(Slot slot, const char* path, uint64_t listedSize, uint32_t count) {
    fs::OwnedFile file = fs::openRead(path);
    const bool sameSize = file && fs::fileSize(file.get()) == listedSize;
    uint8_t* values = sameSize ? allocateZeroed(state_, std::size_t{count} * 4) : nullptr;
    const bool noMemory = sameSize && values == nullptr;
    const bool whole =
        values != nullptr && readValues(file.get(), count, reinterpret_cast<uint32_t*>(values));
    file.reset();
    if (whole) {
        blocks_[slot] = values;
        return Outcome::Read;
    }
    releaseBlock(state_, values);
    return noMemory ? Outcome::NoMemory : Outcome::Unreadable;
}

bool BlockValues::readValues(fs::File* file, uint32_t count, uint32_t* values) {
    const uint32_t width = width_;
    const uint32_t perPiece = std::max(kReadPiece / width, 1u);
    for (uint32_t done = 0; done < count;) {
        if (!holdAtGate(state_)) return false;
        const uint32_t blocks = std::min(perPiece, count - done);
        const uint32_t length = blocks * width;
        if (readFromFile(state_, file, state_.compareBufferA, length) != length) return false;
        // The buffer holds far more than a piece, so a short block's word can be read whole.
        fillBlockValues(state_.compareBufferA, width, blocks, values + done);
        done += blocks;
        progress_.read += length;
        state_.progressPercent.store(
            progress_.from + static_cast<uint32_t>(progress_.read * (kCandidatesProgress - progress_.from) /
                                                   progress_.toRead));
    }
    return true;
}

bool BlockValues::allMatch(Slot slotA, Slot slotB, uint32_t count) const {
    return blocks_[slotA] != nullptr && blocks_[slotB] != nullptr &&
           std::memcmp(blocks_[slotA], blocks_[slotB], std::size_t{count} * 4) == 0;
}
