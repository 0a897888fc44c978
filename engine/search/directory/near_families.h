// Families of near copies among the files a "Directory" search holds in
// memory, so that a file that cannot pair with a family's first file is not
// compared with its other members either.
//
// The differing bytes of two files, counting the longer file's extra bytes,
// are a distance: it is the number of places at which the files differ once
// both are padded past their ends with a value no byte has. So for a member B
// of the family led by P, and any file X:
//     differing(B, X) >= differing(P, X) - differing(P, B).
// A held file joins the family of the first earlier leader it lies within an
// eighth of its allowance of (its distance is then exact). A leader with
// members counts its pairs further than their allowance, by its farthest
// member's distance, and the count (or the lower bound a count cut short
// gives) rules out every member whose distance it exceeds the allowance by.
// Counts are kept for the files of one batch at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/index/index_position.h"

class NearFamilies {
public:
    // Every file of the index starts alone.
    void reset(uint32_t fileCount);
    // Forgets the counts of the last batch; `batchFiles` later files follow.
    void startBatch(uint32_t batchFiles);

    // How much further than the allowance a count of the leader `file` goes: 0
    // for a file without members.
    uint32_t reachOf(uint32_t file) const { return leads_[file] ? distance_[file] : 0; }
    bool leads(uint32_t file) const { return leads_[file] != 0; }
    bool isMember(uint32_t file) const { return leaderOf_[file] != kNoEntry; }

    // Keeps `differing`, at most the leader's differing bytes with the
    // batch's later file `laterInBatch`.
    void noteCount(uint32_t leader, uint32_t laterInBatch, uint32_t differing);
    // Whether the member `file` is ruled out for the batch's later file by
    // its leader's count: it would differ in more than `laterLimit` bytes.
    bool ruledOut(uint32_t file, uint32_t laterInBatch, uint32_t laterLimit) const {
        const uint32_t leader = leaderOf_[file];
        if (leader == kNoEntry || rowOf_[leader] == kNoEntry) return false;
        // A later file the leader was not counted with has 0 here, which rules nothing out.
        const uint32_t counted = counts_[std::size_t{rowOf_[leader]} * batchFiles_ + laterInBatch];
        return uint64_t{counted} > uint64_t{laterLimit} + distance_[file];
    }
    // `later` joins the family of `earlier` when `differing` (exact) is within
    // an eighth of `laterLimit`, earlier leads or is alone, and later is alone.
    void join(uint32_t earlier, uint32_t later, uint32_t differing, uint32_t laterLimit);

private:
    // Per file: the leader of its family, kNoEntry for none.
    std::vector<uint32_t> leaderOf_;
    // Per member: its distance from its leader; per leader: its farthest member's.
    std::vector<uint32_t> distance_;
    std::vector<uint8_t> leads_;
    // Per leader: its row of counts for the batch's files, kNoEntry when it has none.
    std::vector<uint32_t> rowOf_;
    std::vector<uint32_t> rowOwners_;
    std::vector<uint32_t> counts_;
    uint32_t batchFiles_ = 0;
};
