#include "engine/search/pairs/listed_file.h"

#include <algorithm>

#include "engine/compare/file_read.h"

namespace {

// Bytes read between two looks at the pause gate.
constexpr uint32_t kReadPiece = 1u << 20;

}  // namespace

fs::OwnedFile openListedFile(const FileIndex& index, uint32_t position, TwinFileFacts& facts) {
    const FileIndexEntry& entry = index.entry(position);
    fs::OwnedFile file = fs::openRead(entry.path);
    if (!file || fs::fileSize(file.get()) != entry.listedSize) return fs::OwnedFile();
    facts.size = entry.listedSize;
    facts.lastWriteTime = fs::lastWriteTime(file.get());
    facts.identityKnown = fs::openFileIdentity(file.get(), facts.identity);
    return file;
}

bool readListedFile(AppState& state, const FileIndex& index, uint32_t position, uint8_t* target,
                    TwinFileFacts& facts) {
    const fs::OwnedFile file = openListedFile(index, position, facts);
    if (!file) return false;
    const auto size = static_cast<uint32_t>(index.entry(position).listedSize);
    for (uint32_t done = 0; done < size; done += kReadPiece) {
        if (!holdAtGate(state)) return false;
        const uint32_t piece = std::min(kReadPiece, size - done);
        if (readFromFile(state, file.get(), target + done, piece) != piece) return false;
    }
    return true;
}
