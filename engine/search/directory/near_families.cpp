#include "engine/search/directory/near_families.h"

#include <algorithm>

namespace {

// A member lies within this share of its allowance of its leader: the leader's
// counts go that much further, so a family costs its leader little more.
constexpr uint32_t kNearShare = 8;
// The most counts kept for one batch (4 MB); leaders beyond it rule nothing out.
constexpr std::size_t kMostCounts = std::size_t{1} << 20;

}  // namespace

void NearFamilies::reset(uint32_t fileCount) {
    leaderOf_.assign(fileCount, kNoEntry);
    distance_.assign(fileCount, 0);
    leads_.assign(fileCount, 0);
    rowOf_.assign(fileCount, kNoEntry);
    rowOwners_.clear();
    counts_.clear();
}

void NearFamilies::startBatch(uint32_t batchFiles) {
    for (const uint32_t owner : rowOwners_) rowOf_[owner] = kNoEntry;
    rowOwners_.clear();
    counts_.clear();
    batchFiles_ = batchFiles;
}

void NearFamilies::noteCount(uint32_t leader, uint32_t laterInBatch, uint32_t differing) {
    if (rowOf_[leader] == kNoEntry) {
        if (counts_.size() + batchFiles_ > kMostCounts) return;
        rowOf_[leader] = static_cast<uint32_t>(rowOwners_.size());
        rowOwners_.push_back(leader);
        counts_.resize(counts_.size() + batchFiles_, 0);
    }
    counts_[std::size_t{rowOf_[leader]} * batchFiles_ + laterInBatch] = differing;
}

void NearFamilies::join(uint32_t earlier, uint32_t later, uint32_t differing, uint32_t laterLimit) {
    if (differing > laterLimit / kNearShare || leaderOf_[earlier] != kNoEntry ||
        leaderOf_[later] != kNoEntry || leads_[later])
        return;
    leaderOf_[later] = earlier;
    distance_[later] = differing;
    distance_[earlier] = leads_[earlier] ? std::max(distance_[earlier], differing) : differing;
    leads_[earlier] = 1;
}
