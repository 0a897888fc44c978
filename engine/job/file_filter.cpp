#include "engine/job/file_filter.h"

#include <algorithm>
#include <cstring>

#include "engine/base/fs.h"

namespace {

bool isSeparator(char character) {
    return character == '/' || character == fs::kSeparator;
}

// Whether `glob` names folders only: it ends with a separator.
bool namesFoldersOnly(const std::string& glob) {
    return !glob.empty() && isSeparator(glob.back());
}

bool anyGlobMatches(const FileFilter& filter, const char* pathBelow, bool isFolder) {
    for (const std::string& glob : filter.excludes) {
        if (namesFoldersOnly(glob) && !isFolder) continue;
        const std::string name = namesFoldersOnly(glob) ? glob.substr(0, glob.size() - 1) : glob;
        if (globMatches(name, pathBelow)) return true;
    }
    return false;
}

}  // namespace

// One step per piece of the glob over the set of path positions reached so
// far: linear in the glob times the path, however many stars it holds.
bool globMatches(const std::string& glob, const char* path) {
    const std::size_t length = std::strlen(path);
    std::vector<char> reached(length + 1, 0), next(length + 1);
    reached[0] = 1;
    for (std::size_t at = 0; at < glob.size(); ++at) {
        std::fill(next.begin(), next.end(), 0);
        const char piece = glob[at];
        const bool globStar = piece == '*' && at + 1 < glob.size() && glob[at + 1] == '*';
        if (globStar) {
            ++at;
            // "**/": no folder at all, or any run that ends with a separator.
            const bool folders = at + 1 < glob.size() && isSeparator(glob[at + 1]);
            if (folders) ++at;
            bool open = false;
            for (std::size_t position = 0; position <= length; ++position) {
                if (folders) {
                    if (reached[position]) next[position] = 1;
                    if (open && position > 0 && isSeparator(path[position - 1])) next[position] = 1;
                } else if (open || reached[position]) {
                    next[position] = 1;
                }
                open = open || reached[position];
            }
        } else if (piece == '*') {
            bool open = false;
            for (std::size_t position = 0; position <= length; ++position) {
                open = reached[position] || (open && position > 0 && !isSeparator(path[position - 1]));
                next[position] = open;
            }
        } else {
            for (std::size_t position = 0; position < length; ++position) {
                if (!reached[position]) continue;
                const char character = path[position];
                const bool fits = piece == '?'         ? !isSeparator(character)
                                  : isSeparator(piece) ? isSeparator(character)
                                                       : piece == character;
                if (fits) next[position + 1] = 1;
            }
        }
        reached.swap(next);
    }
    return reached[length] != 0;
}

bool leavesOutFile(const FileFilter& filter, const char* pathBelow, uint64_t size) {
    return size < filter.minSize || size > filter.maxSize || anyGlobMatches(filter, pathBelow, false);
}

bool leavesOutFolder(const FileFilter& filter, const char* pathBelow) {
    return anyGlobMatches(filter, pathBelow, true);
}
