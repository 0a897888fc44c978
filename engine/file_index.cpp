#include "engine/file_index.h"

#include <algorithm>
#include <cstring>

#include "engine/run_state.h"

namespace {

const char kSeparatorText[2] = {fs::kSeparator, '\0'};

bool isOpenFolder(const FileIndex& index, const fs::FileIdentity& identity) {
    return std::find(index.openFolders.begin(), index.openFolders.end(), identity) != index.openFolders.end();
}

// A folder that holds no file is removed; when that fails and the user lets
// Kestrow override read-only folders, once more after resetting attributes.
void removeEmptyFolder(AppState& state, const char* folderPath) {
    if (fs::removeFolder(folderPath)) return;
    if (state.settings.overrideReadOnly == 0) return;
    fs::resetAttributes(folderPath);
    fs::removeFolder(folderPath);
}

void addFile(AppState& state, const fs::FolderEntry& entry, const char* fullPath, FileIndex& index) {
    const uint32_t position = state.indexCount.load();
    FileIndexEntry& file = index.entries[position];
    copyPathText(file.path, fullPath);
    copyPathText(state.currentFileText, fullPath);
    const bool quickDir = state.settings.searchMode == QuickDirMode;
    file.size = quickDir ? static_cast<uint32_t>(entry.size) : 0;
    file.hash = 0;
    index.listedSizes[position] = entry.size;
    state.indexCount.store(position + 1);
}

}  // namespace

bool obtainFileIndex(AppState& state, FileIndex& index) {
    index.entries = reinterpret_cast<FileIndexEntry*>(
        allocateZeroed(state, sizeof(FileIndexEntry) * std::size_t{kIndexCapacity}));
    index.listedSizes =
        reinterpret_cast<uint64_t*>(allocateZeroed(state, sizeof(uint64_t) * std::size_t{kIndexCapacity}));
    if (index.entries != nullptr && index.listedSizes != nullptr) return true;
    releaseFileIndex(state, index);
    return false;
}

void releaseFileIndex(AppState& state, FileIndex& index) {
    auto* entries = reinterpret_cast<uint8_t*>(index.entries);
    auto* sizes = reinterpret_cast<uint8_t*>(index.listedSizes);
    releaseBlock(state, entries);
    releaseBlock(state, sizes);
    index.entries = nullptr;
    index.listedSizes = nullptr;
    index.openFolders.clear();
}

int isRealFolderName(const char* name) {
    return std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0 ? 1 : 0;
}

void indexFolder(AppState& state, FileIndex& index, const char* folderPath) {
    if (state.indexCount.load() > index.fillLimit || state.runControl.load() == AbortRequested) return;
    fs::FileIdentity identity;
    const bool known = fs::fileIdentity(folderPath, identity);
    if (known && isOpenFolder(index, identity)) return;
    if (known) index.openFolders.push_back(identity);

    const uint32_t startingCount = state.indexCount.load();
    bool first = true;
    fs::listFolder(folderPath, [&](const fs::FolderEntry& entry) {
        // The first entry is always handled; the limit is tested before each further one.
        if (!first && state.indexCount.load() >= index.fillLimit) return;
        first = false;
        indexEntry(state, entry, folderPath, index);
    });
    if (known) index.openFolders.pop_back();

    if (state.indexCount.load() == startingCount && state.removeEmptyDirs.load() != 0) {
        removeEmptyFolder(state, folderPath);
    }
}

void indexEntry(AppState& state, const fs::FolderEntry& entry, const char* folderPath, FileIndex& index) {
    PathText fullPath;
    if (!joinPathText(fullPath, folderPath, kSeparatorText, entry.name)) return;
    if (entry.isFolder) {
        if (isRealFolderName(entry.name) == 1) indexFolder(state, index, fullPath);
        return;
    }
    addFile(state, entry, fullPath, index);
}
