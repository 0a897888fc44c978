// "Directory" where no listing of blocks serves (50%, and any percentage the
// block listing refuses): every pair of fitting sizes must have its bytes
// compared. Files are taken in order of size and held in one block of memory
// while a larger file may still pair with them, so each file is read once and
// each pair is compared in memory, only up to the point where its differing
// bytes rule it out. New files are compared in batches, a piece at a time,
// with tiles of held files whose pieces stay in the processor's cache while
// the batch passes them. Byte-identical files are held and compared once;
// near copies form families (engine/search/directory/near_families.h), whose members are not
// compared with a file their first file's count rules out.
//
// Files the block cannot hold (too large, changed since the walk, unreadable,
// empty) and pairs of files the block had to let go before their sizes rule
// them out are left to the search's own pass, which reads each such pair.
#pragma once

#include "engine/index/file_index.h"
#include "engine/job/app_state.h"
#include "engine/search/pairs/candidates.h"

// Fills the listed form of `candidates` with every pair that reaches
// matchPercent, with its percentage and the facts of its files, and every
// pair still to compare (kUndecidedPair), in the order the search lists them.
// False, with `candidates` left empty, when the block or the list of pairs
// cannot be had: the search then visits every pair. Holds at the pause gate
// between pieces of work; after an abort it lists no pair. Raises
// progressPercent from 0 to kCandidatesProgress.
bool decideInMemory(AppState& state, const FileIndex& index, const SearchOptions& options,
                    TwinCandidates& candidates);

// Whether deciding every pair among files held in memory looks cheaper than the block listing,
// estimated from the sizes alone: pairs looked at and bytes compared up to
// their early stop, against the listing's cost per byte and per file. Files
// too large for the block count as read once per pair.
bool memoryLooksCheaper(const AppState& state, const FileIndex& index, const SearchOptions& options);
