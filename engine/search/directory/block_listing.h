// "Directory" at high percentages: the pairs that can still reach
// matchPercent, found from the files' sizes and from blocks of their bytes
// (engine/search/directory/block_layout.h) instead of by visiting every pair.
//
// Files with few partners of a fitting size, too small or too large for the
// blocks, or that changed since the walk are paired with every partner of a
// fitting size. The others are read once each, in order of size, and their
// blocks are matched among files of similar size, in steps sized to a fixed
// memory budget (a file too large for it with its partners is paired by
// size), each file by its rarest blocks only (engine/search/directory/block_layout.h), so
// blocks that many files share (common headers, zero padding) find no pairs
// by themselves. A pair found so is
// listed when it holds as many identical blocks as a qualifying pair of its
// sizes must. Files of one size holding the same bytes (engine/search/directory/copy_sets.h),
// or whose blocks all match, are matched as one; the pairs listed are then
// compared in memory (engine/search/directory/listed_pairs.h).
//
// The listing runs its parts: the pairs taken by size (size_pairs.h), each
// file's block values (block_values.h), how many files of a step hold each
// block (block_counts.h) and the matching of a step (block_matching.h); files
// are named by position, slot or rank (listing_index.h).
#pragma once

#include <cstdint>

#include "engine/index/file_index.h"
#include "engine/job/app_state.h"
#include "engine/search/pairs/candidates.h"

// Fills the listed form of `candidates`, so that every pair that can reach
// matchPercent is among them. False, with `candidates` left empty, when the
// listing would not pay (sizes far apart may pair, too many pairs) or memory
// ran out: the search then visits every pair. Holds at the pause gate between
// pieces it reads; after an abort the listing ends early and lists nothing.
// Raises progressPercent from 0 to kCandidatesProgress.
bool listTwinCandidates(AppState& state, const FileIndex& index, const SearchOptions& options,
                        TwinCandidates& candidates);

// Whether the listing can serve at all, from the percentage and the listed
// sizes alone: at least two files may pair, and blocks hold for the largest.
bool listingCanServe(const AppState& state, const FileIndex& index, const SearchOptions& options);
