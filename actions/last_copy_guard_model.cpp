#include "actions/last_copy_guard_model.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

namespace {

constexpr uint32_t kReadLength = 1 << 20;

// Both files open, as two physical files: their identities, taken from the
// open files so that each is opened once.
struct OpenPair {
    fs::OwnedFile file;
    fs::OwnedFile twin;
    fs::FileIdentity fileId;
    fs::FileIdentity twinId;
};

bool openPair(const char* path, const char* twin, OpenPair& pair) {
    pair.file = fs::openRead(path);
    if (pair.file) pair.twin = fs::openRead(twin);
    return pair.file && pair.twin && fs::openFileIdentity(pair.file.get(), pair.fileId) &&
           fs::openFileIdentity(pair.twin.get(), pair.twinId) && !(pair.fileId == pair.twinId);
}

// Reads both files to their ends; a short or failed read is a difference,
// since a byte not read is never taken as equal.
bool sameContent(const OpenPair& pair) {
    uint64_t left = fs::fileSize(pair.file.get());
    if (left != fs::fileSize(pair.twin.get())) return false;
    if (left == 0) return true;
    // As large as the file, up to kReadLength. Without memory to look, the file stays.
    const uint32_t bufferLength = left < kReadLength ? static_cast<uint32_t>(left) : kReadLength;
    std::unique_ptr<uint8_t[]> bufferA(new (std::nothrow) uint8_t[bufferLength]);
    std::unique_ptr<uint8_t[]> bufferB(new (std::nothrow) uint8_t[bufferLength]);
    if (bufferA == nullptr || bufferB == nullptr) return false;
    while (left > 0) {
        const uint32_t length = left < bufferLength ? static_cast<uint32_t>(left) : bufferLength;
        if (fs::readFile(pair.file.get(), bufferA.get(), length) != length) return false;
        if (fs::readFile(pair.twin.get(), bufferB.get(), length) != length) return false;
        if (std::memcmp(bufferA.get(), bufferB.get(), length) != 0) return false;
        left -= length;
    }
    return true;
}

}  // namespace

bool stillAsSearched(const char* path, const TwinFileFacts& facts) {
    if (facts.lastWriteTime == 0 && !facts.identityKnown) return true;
    const fs::OwnedFile file = fs::openRead(path);
    if (!file || fs::fileSize(file.get()) != facts.size) return false;
    if (facts.lastWriteTime != 0 && fs::lastWriteTime(file.get()) != facts.lastWriteTime) return false;
    fs::FileIdentity identity;
    return !facts.identityKnown || (fs::openFileIdentity(file.get(), identity) && identity == facts.identity);
}

bool twinHoldsCopy(const char* path, const char* twin) {
    OpenPair pair;
    return openPair(path, twin, pair) && sameContent(pair);
}

bool HandOverGuard::admit(const char* path, const char* twin) {
    OpenPair pair;
    if (!openPair(path, twin, pair) || going(pair.fileId) || going(pair.twinId) || !sameContent(pair)) {
        return false;
    }
    going_.push_back(pair.fileId);
    return true;
}

bool HandOverGuard::going(const fs::FileIdentity& identity) const {
    for (const fs::FileIdentity& gone : going_) {
        if (gone == identity) return true;
    }
    return false;
}
