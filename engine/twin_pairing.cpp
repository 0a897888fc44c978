#include "engine/twin_pairing.h"

#include <cstring>
#include <vector>

#include "engine/compare.h"
#include "engine/file_heads.h"
#include "engine/pair_pass.h"
#include "engine/pair_results.h"

namespace {

enum class Identity : uint8_t { Unknown, Known, Unavailable };

struct PairingWork {
    AppState& state;
    FileIndex& index;
    const TwinCandidates& candidates;
    uint32_t matchPercent;
    PairResults results;
    FileHeads heads;
    std::vector<fs::FileIdentity> identities;
    std::vector<Identity> identityState;
    // What the search learnt of each file when it last opened it to compare.
    std::vector<TwinFileFacts> facts;
};

// Two paths that name one physical file (a hard link, a link into the tree,
// a folder reached twice) are never a pair.
bool sameFile(PairingWork& work, uint32_t a, uint32_t b) {
    for (uint32_t position : {a, b}) {
        if (work.identityState[position] != Identity::Unknown) continue;
        const bool known = fs::fileIdentity(work.index.entry(position).path, work.identities[position]);
        work.identityState[position] = known ? Identity::Known : Identity::Unavailable;
    }
    return work.identityState[a] == Identity::Known && work.identityState[b] == Identity::Known &&
           work.identities[a] == work.identities[b];
}

// Sizes alone decide a pair whose longer file has more bytes of its own than
// matchPercent allows, and any pair with exactly one empty file.
bool sizesRuleOut(const PairingWork& work, uint32_t a, uint32_t b) {
    const uint64_t sizeA = work.index.entry(a).listedSize, sizeB = work.index.entry(b).listedSize;
    const uint32_t larger = static_cast<uint32_t>(sizeA > sizeB ? sizeA : sizeB);
    const uint32_t smaller = static_cast<uint32_t>(sizeA > sizeB ? sizeB : sizeA);
    if (larger == 0) return false;
    if (smaller == 0) return true;
    return similarityPercent(larger, larger - smaller) < work.matchPercent;
}

uint32_t comparePair(PairingWork& work, uint32_t a, uint32_t b) {
    copyPathText(work.state.settings.pathB, work.index.entry(b).path);
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
    if (sizesRuleOut(work, a, b) || std::strcmp(entryA.path, entryB.path) == 0 || sameFile(work, a, b))
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

uint32_t pairEntries(AppState& state, FileIndex& index, const TwinCandidates& candidates,
                     uint32_t rowCounter) {
    const uint32_t count = index.count();
    // A pair that failed to read gives 0: it is never listed, whatever the threshold.
    const uint32_t matchPercent = state.settings.matchPercent == 0 ? 1 : state.settings.matchPercent;
    PairingWork work{state,
                     index,
                     candidates,
                     matchPercent,
                     PairResults(count),
                     FileHeads(),
                     std::vector<fs::FileIdentity>(count),
                     std::vector<Identity>(count, Identity::Unknown),
                     std::vector<TwinFileFacts>(count)};
    work.heads.prepare(state, count, candidates.grouped);
    for (uint32_t a = 0; a < count; ++a) {
        const FileIndexEntry& entryA = index.entry(a);
        copyPathText(state.currentFileText, entryA.path);
        copyPathText(state.settings.pathA, entryA.path);
        bool running = holdAtGate(state);
        for (uint32_t b = candidates.nextCandidate[a]; running && b != kNoEntry;
             b = candidates.nextCandidate[b]) {
            const uint32_t percent = decidePair(work, a, b);
            if (percent >= matchPercent)
                listTwin(state, rowCounter++,
                         TwinRecord{entryA.path, index.entry(b).path, percent, work.facts[a], work.facts[b]});
            running = holdAtGate(state);
        }
        state.progressPercent.store(static_cast<uint32_t>((uint64_t{a} + 1) * 100 / count));
        if (!running) break;
    }
    work.heads.release(state);
    return rowCounter;
}
