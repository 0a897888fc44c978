#include "engine/search/pairs/pair_memo.h"

#include <algorithm>
#include <utility>

namespace {

// Beyond this many results new ones are not kept; pairs are then read again.
constexpr std::size_t kMaxKeptResults = 1u << 22;

}  // namespace

PairResults::PairResults(uint32_t entryCount) {
    classes_.reset(entryCount);
}

uint32_t PairResults::classOf(uint32_t position) const {
    const uint32_t first = classes_.firstOf(position);
    return first == kNoEntry ? position : first;
}

uint64_t PairResults::key(uint32_t classA, uint32_t classB) {
    if (classA > classB) std::swap(classA, classB);
    return static_cast<uint64_t>(classA) << 32 | classB;
}

bool PairResults::find(uint32_t a, uint32_t b, uint32_t& percent) const {
    const uint32_t classA = classOf(a), classB = classOf(b);
    if (classA == classB) {
        percent = 100;
        return true;
    }
    if (classA == a && classB == b) return false;  // each pair is taken once
    const auto found = results_.find(key(classA, classB));
    if (found == results_.end()) return false;
    percent = found->second;
    return true;
}

void PairResults::record(uint32_t a, uint32_t b, uint32_t percent) {
    const uint32_t classA = classOf(a), classB = classOf(b);
    if (percent == 100) {
        // The earlier file names the joined class.
        if (classA != classB) classes_.join(std::min(classA, classB), std::max(classA, classB));
        return;
    }
    if (results_.size() < kMaxKeptResults)
        results_.emplace(key(classA, classB), static_cast<uint8_t>(percent));
}
