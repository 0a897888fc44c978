#include "engine/search/pairs/plain_pass.h"

#include <vector>

#include "engine/rows/result_list.h"
#include "engine/search/pairs/file_heads.h"
#include "engine/search/pairs/pair_compare.h"
#include "engine/search/pairs/pair_memo.h"

namespace {

enum class Identity : uint8_t { Unknown, Known, Unavailable };

struct PairingWork {
    AppState& state;
    FileIndex& index;
    LastPair& last;
    uint32_t matchPercent;
    PairResults results;
    FileHeads heads;
    std::vector<fs::FileIdentity> identities;
    std::vector<Identity> identityState;
    // What the search learnt of each file when it last opened it to compare.
    std::vector<TwinFileFacts> facts;
};

// The physical identity of the file at `position`, looked up once, so that two
// paths that name one file (a hard link, a link into the tree, a folder
// reached twice) are never a pair; null when it cannot be had.
const fs::FileIdentity* identityOf(PairingWork& work, uint32_t position) {
    if (work.identityState[position] == Identity::Unknown) {
        const bool known = fs::fileIdentity(work.index.entry(position).path, work.identities[position]);
        work.identityState[position] = known ? Identity::Known : Identity::Unavailable;
    }
    return work.identityState[position] == Identity::Known ? &work.identities[position] : nullptr;
}

uint32_t comparePair(PairingWork& work, uint32_t a, uint32_t b) {
    work.last.entryB = b;
    TwinFileFacts facts[2];
    const uint32_t percent = comparePairInPieces(work.state, work.index.entry(a).path,
                                                 work.index.entry(b).path, work.matchPercent, facts);
    work.facts[a] = facts[0];
    work.facts[b] = facts[1];
    return percent;
}

void learnFromHeads(PairingWork& work, uint32_t position) {
    if (const TwinFileFacts* facts = work.heads.factsOf(position)) work.facts[position] = *facts;
}

// The pair's percentage, or 0 when it can never be listed.
uint32_t decidePair(PairingWork& work, uint32_t a, uint32_t b) {
    const FileIndexEntry& entryA = work.index.entry(a);
    const FileIndexEntry& entryB = work.index.entry(b);
    if (sizesRuleOut(entryA.listedSize, entryB.listedSize, work.matchPercent) ||
        namesOneFile(entryA.path, entryB.path, identityOf(work, a), identityOf(work, b)))
        return 0;
    uint32_t percent = 0;
    if (work.results.find(a, b, percent)) return percent;
    if (work.heads.decide(work.state, work.index, a, b, work.matchPercent, percent)) {
        learnFromHeads(work, a);
        learnFromHeads(work, b);
    } else {
        // An abort that came while the heads were read: this pair is not begun.
        if (work.state.runControl.load() == AbortRequested) return 0;
        percent = comparePair(work, a, b);
    }
    work.results.record(a, b, percent);
    return percent;
}

}  // namespace

void listTwin(AppState& state, uint32_t row, const TwinRecord& twin) {
    state.results->insertTwinRow(static_cast<int>(row), twin);
    state.results->ensureVisible(static_cast<int>(row));
    state.twinCount.fetch_add(1);
}

namespace {

// Lists a pair whose percentage is known when it reaches matchPercent; false once an abort ends pairing.
bool listIfTwin(PairingWork& work, uint32_t a, uint32_t b, uint32_t percent, uint32_t& rowCounter) {
    if (percent >= work.matchPercent)
        listTwin(work.state, rowCounter++,
                 TwinRecord{work.index.entry(a).path, work.index.entry(b).path, percent, work.facts[a],
                            work.facts[b], a, b});
    return holdAtGate(work.state);
}

}  // namespace

uint32_t pairEntries(AppState& state, FileIndex& index, const SearchOptions& options,
                     const TwinCandidates& candidates, uint32_t rowCounter, LastPair& last,
                     uint32_t progressFrom) {
    const uint32_t count = index.count();
    const uint32_t matchPercent = listedMatchPercent(options);
    PairingWork work{state,
                     index,
                     last,
                     matchPercent,
                     PairResults(count),
                     FileHeads(),
                     std::vector<fs::FileIdentity>(count),
                     std::vector<Identity>(count, Identity::Unknown),
                     candidates.facts.empty() ? std::vector<TwinFileFacts>(count) : candidates.facts};
    work.heads.prepare(state, count, candidates.grouped);
    const uint32_t progressShare = 100 - progressFrom;
    for (uint32_t a = 0; a < count; ++a) {
        const FileIndexEntry& entryA = index.entry(a);
        state.currentFileText.write(entryA.path);
        last.entryA = a;
        bool running = holdAtGate(state);
        if (candidates.listed()) {
            for (uint32_t i = candidates.partnerStart[a]; running && i < candidates.partnerStart[a + 1];
                 ++i) {
                const uint32_t b = candidates.partners[i];
                const bool decided = !candidates.percents.empty() && candidates.percents[i] != kUndecidedPair;
                running = listIfTwin(work, a, b, decided ? candidates.percents[i] : decidePair(work, a, b),
                                     rowCounter);
            }
        } else {
            for (uint32_t b = candidates.nextCandidate[a]; running && b != kNoEntry;
                 b = candidates.nextCandidate[b])
                running = listIfTwin(work, a, b, decidePair(work, a, b), rowCounter);
        }
        state.progressPercent.store(progressFrom +
                                    static_cast<uint32_t>((uint64_t{a} + 1) * progressShare / count));
        if (!running) break;
    }
    work.heads.release();
    return rowCounter;
}
