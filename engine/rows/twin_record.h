// A twin row as the search found it: both files, their percentage, and for
// each file what the search knew of it when it compared the pair.
#pragma once

#include <cstdint>
#include <cstring>

#include "engine/base/fs.h"

struct TwinFileFacts {
    uint64_t size = 0;
    // Last-write time in the platform's units (Windows FILETIME, POSIX seconds);
    // 0 when unknown.
    uint64_t lastWriteTime = 0;
    fs::FileIdentity identity;
    bool identityKnown = false;
};

// Whether two paths name one physical file: the same path twice, or two
// names whose files proved to be one (a hard link, a folder reached twice),
// an identity that is not known (null) proving nothing. Such a pair is never
// a twin.
inline bool namesOneFile(const char* pathA, const char* pathB, const fs::FileIdentity* identityA,
                         const fs::FileIdentity* identityB) {
    return (identityA != nullptr && identityB != nullptr && *identityA == *identityB) ||
           std::strcmp(pathA, pathB) == 0;
}

// The same, from what the search learnt of each file when it opened it.
inline bool namesOneFile(const char* pathA, const char* pathB, const TwinFileFacts& factsA,
                         const TwinFileFacts& factsB) {
    return namesOneFile(pathA, pathB, factsA.identityKnown ? &factsA.identity : nullptr,
                        factsB.identityKnown ? &factsB.identity : nullptr);
}

// A file the search gives no number.
constexpr uint32_t kNoSearchNumber = 0xFFFFFFFFu;

struct TwinRecord {
    const char* pathA;
    const char* pathB;
    uint32_t percent;
    TwinFileFacts factsA;
    TwinFileFacts factsB;
    // The files' places in the search's index: a file met in many rows is
    // then kept once.
    uint32_t fileA = kNoSearchNumber;
    uint32_t fileB = kNoSearchNumber;
};
