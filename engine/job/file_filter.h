// Files a search leaves out, as if they were not in the tree: files below or
// above a size, and files and folders whose path below the searched folder
// matches a glob. The walk applies it, so every count and route sees the
// same index. The default leaves nothing out.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct FileFilter {
    uint64_t minSize = 0;
    uint64_t maxSize = UINT64_MAX;
    // Globs on the path below the searched folder, '/' between its names (the
    // platform's separator counts the same): "*" and "?" stay within one name,
    // "**" spans folders ("**/" also matches no folder at all), any other
    // character stands for itself. A glob ending in a separator names folders only.
    std::vector<std::string> excludes;
};

// True when the file at `pathBelow` (below the searched folder), `size` bytes
// long, is left out.
bool leavesOutFile(const FileFilter& filter, const char* pathBelow, uint64_t size);
// True when the folder at `pathBelow` is left out, with everything below it.
bool leavesOutFolder(const FileFilter& filter, const char* pathBelow);
// True when `glob` matches the whole of `path` (the syntax of FileFilter::excludes).
bool globMatches(const std::string& glob, const char* path);
