// "Directory" after the block listing: the listed pairs compared in memory.
// Files are read once each, in order of size, into one block of memory that
// holds them while a larger file may still pair with them; each listed pair
// is compared when the later of its two files has been read. A file holding
// the same bytes as an earlier file of its size that it is listed with is a
// copy: it is not held, its pairs with the other copies are 100%, and each of
// its other pairs takes the percentage its original's pair holds, so a pair
// of originals is compared once for all their copies.
//
// Pairs whose files the block cannot hold (too large, unreadable, changed
// since the walk, let go for room) stay undecided for the search's own pass.
#pragma once

#include "engine/index/file_index.h"
#include "engine/job/app_state.h"
#include "engine/search/pairs/candidates.h"

// Gives every listed pair of `candidates` its percentage (kUndecidedPair for
// one left to the search's own pass) and the facts of the files read. Holds
// at the pause gate between pieces of work; after an abort the list is
// emptied, so the search lists no pair. Raises progressPercent from where
// the listing left it to kDecidedProgress.
void decideListedPairs(AppState& state, const FileIndex& index, const SearchOptions& options,
                       TwinCandidates& candidates);

// The share of progressPercent reached once the listed pairs are decided.
constexpr uint32_t kDecidedProgress = 90;
