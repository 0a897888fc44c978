#include "engine/index/file_index.h"

#include <algorithm>
#include <cstring>

#include "engine/index/folder_read_ahead.h"
#include "engine/job/run_state.h"

namespace {

const char kSeparatorText[2] = {fs::kSeparator, '\0'};

bool isOpenFolder(const FileIndex& index, const fs::FileIdentity& identity) {
    return std::find(index.openFolders.begin(), index.openFolders.end(), identity) != index.openFolders.end();
}

// A folder that holds no file is removed; when that fails and the user lets
// Kestrow override read-only folders, once more after resetting attributes.
void removeEmptyFolder(const SearchOptions& options, const char* folderPath) {
    if (fs::removeFolder(folderPath)) return;
    if (!options.overrideReadOnly) return;
    fs::resetAttributes(folderPath);
    fs::removeFolder(folderPath);
}

bool walkStopped(const AppState& state, const FileIndex& index) {
    return index.outOfMemory() || state.runControl.load() == AbortRequested;
}

// The path of `fullPath` below the searched folder, whose text is `rootLength` long.
const char* pathBelow(const char* fullPath, std::size_t rootLength) {
    return fullPath + rootLength + 1;
}

// The full paths of the real folders in `listing` the walk enters, in its order, but for links:
// the walk lists a link's folder itself, as it may lead back to a folder being walked, which
// the walk does not enter again.
std::vector<std::string> subfoldersOf(const char* folderPath, const FolderListing& listing,
                                      const FileFilter& filter, std::size_t rootLength) {
    std::vector<std::string> folders;
    PathText fullPath;
    for (const ListedEntry& entry : listing) {
        if (entry.isFolder && !entry.isLink && isRealFolderName(entry.name.c_str()) == 1 &&
            joinPathText(fullPath, folderPath, kSeparatorText, entry.name.c_str()) &&
            !leavesOutFolder(filter, pathBelow(fullPath, rootLength)))
            folders.emplace_back(fullPath);
    }
    return folders;
}

// True when the filter leaves `entry` (at `fullPath`) out, which it counts.
bool leftOut(FileIndex& index, const FileFilter& filter, const ListedEntry& entry, const char* fullPath,
             std::size_t rootLength) {
    const char* below = pathBelow(fullPath, rootLength);
    const bool out =
        entry.isFolder ? leavesOutFolder(filter, below) : leavesOutFile(filter, below, entry.size);
    if (out) ++index.leftOut;
    return out;
}

// `removable`: the folder is a real folder below the searched one, reached
// without passing through a link. `rootLength`: the length of the searched folder's text.
void walkFolder(AppState& state, FileIndex& index, const SearchOptions& options, FolderReadAhead& readAhead,
                const char* folderPath, std::size_t rootLength, bool removable) {
    if (walkStopped(state, index)) return;
    fs::FileIdentity identity;
    const bool known = fs::fileIdentity(folderPath, identity);
    if (known && isOpenFolder(index, identity)) return;
    if (known) index.openFolders.push_back(identity);

    const uint32_t startingCount = state.indexCount.load();
    const uint32_t startingLeftOut = index.leftOut;
    // Until its first file, the folder being read stands for the file in hand.
    state.currentFileText.write(folderPath);
    FolderListing listing;
    if (readAhead.take(folderPath, listing))
        readAhead.expect(subfoldersOf(folderPath, listing, options.filter, rootLength));
    for (const ListedEntry& entry : listing) {
        // Pause holds the walk too, and an abort ends it at once, even inside one long listing.
        if (!state.pauseGate.isOpen()) holdAtGate(state);
        if (walkStopped(state, index)) break;
        PathText fullPath;
        // A path that would not fit a PathText is skipped.
        if (!joinPathText(fullPath, folderPath, kSeparatorText, entry.name.c_str())) continue;
        if (entry.isFolder && isRealFolderName(entry.name.c_str()) != 1) continue;
        if (leftOut(index, options.filter, entry, fullPath, rootLength)) continue;
        if (entry.isFolder) {
            walkFolder(state, index, options, readAhead, fullPath, rootLength, removable && !entry.isLink);
            continue;
        }
        if (!index.add(state, fullPath, entry.size)) continue;
        state.currentFileText.write(fullPath);
        state.indexCount.store(index.count());
    }
    if (known) index.openFolders.pop_back();

    const bool holdsNothing = state.indexCount.load() == startingCount && index.leftOut == startingLeftOut;
    if (removable && holdsNothing && state.removeEmptyDirs.load() != 0) {
        removeEmptyFolder(options, folderPath);
    }
}

}  // namespace

const char* FileIndex::storePath(AppState& state, const char* path) {
    const std::size_t length = std::strlen(path) + 1;  // fits a PathText, so far below a block
    if (pathBytesUsed_ + length > kIndexPathBlockBytes) {
        OwnedBlock block(state, kIndexPathBlockBytes);
        if (!block) return nullptr;
        pathBlocks_.push_back(std::move(block));
        pathBytesUsed_ = 0;
    }
    char* stored = reinterpret_cast<char*>(pathBlocks_.back().get()) + pathBytesUsed_;
    std::memcpy(stored, path, length);
    pathBytesUsed_ += static_cast<uint32_t>(length);
    return stored;
}

bool FileIndex::add(AppState& state, const char* path, uint64_t listedSize) {
    if (count_ == 0xFFFFFFFEu) outOfMemory_ = true;  // positions are 32-bit
    if (!outOfMemory_ && count_ / kIndexBlockEntries == entryBlocks_.size()) {
        OwnedBlock block(state, sizeof(FileIndexEntry) * std::size_t{kIndexBlockEntries});
        if (!block) {
            outOfMemory_ = true;
        } else {
            entryBlocks_.push_back(std::move(block));
        }
    }
    const char* stored = outOfMemory_ ? nullptr : storePath(state, path);
    if (stored == nullptr) {
        outOfMemory_ = true;
        return false;
    }
    entry(count_) = FileIndexEntry{stored, listedSize};
    ++count_;
    return true;
}

void FileIndex::release() {
    entryBlocks_.clear();
    pathBlocks_.clear();
    pathBytesUsed_ = kIndexPathBlockBytes;
    count_ = 0;
    openFolders.clear();
    leftOut = 0;
}

int isRealFolderName(const char* name) {
    return std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0 ? 1 : 0;
}

void indexFolder(AppState& state, FileIndex& index, const SearchOptions& options, const char* folderPath) {
    const std::size_t rootLength = std::strlen(folderPath);
    FolderReadAhead readAhead(state,
                              [&options, rootLength](const char* folder, const FolderListing& listing) {
                                  return subfoldersOf(folder, listing, options.filter, rootLength);
                              });
    walkFolder(state, index, options, readAhead, folderPath, rootLength, true);
}
