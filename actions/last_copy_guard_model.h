// Never the last copy: the checks made just before a file of a batch run is
// removed or moved, against the twin that is to keep its content.
#pragma once

#include <vector>

#include "engine/base/fs.h"
#include "engine/rows/twin_record.h"

// True unless the file at `path` is found changed against what the search
// learnt of it: another size, last-write time or identity, or gone. Facts the
// search did not learn (no time and no identity) are no grounds to keep a
// file; the full check that follows still reads it. Reads no content, so a
// changed file is kept without being read.
bool stillAsSearched(const char* path, const TwinFileFacts& facts);

// True when `twin` still exists, is another physical file than `path`, and
// holds byte for byte what `path` holds, read in full now.
bool twinHoldsCopy(const char* path, const char* twin);

// The same check for the paths of one recycle hand-over, which all go at
// once: a file already admitted counts as gone, so it can neither be the
// twin that keeps a later file nor be admitted a second time.
class HandOverGuard {
public:
    bool admit(const char* path, const char* twin);

private:
    bool going(const fs::FileIdentity& identity) const;
    std::vector<fs::FileIdentity> going_;
};
