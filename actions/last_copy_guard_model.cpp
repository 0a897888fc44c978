#include "actions/last_copy_guard_model.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

namespace {

constexpr uint32_t kReadLength = 1 << 20;

bool identities(const char* path, const char* twin, fs::FileIdentity& pathId, fs::FileIdentity& twinId) {
    return fs::fileIdentity(path, pathId) && fs::fileIdentity(twin, twinId) && !(pathId == twinId);
}

// Reads both files to their ends; a short or failed read is a difference,
// since a byte not read is never taken as equal.
bool sameContent(const char* path, const char* twin) {
    const fs::OwnedFile a = fs::openRead(path);
    const fs::OwnedFile b = fs::openRead(twin);
    if (!a || !b) return false;
    uint64_t left = fs::fileSize(a.get());
    if (left != fs::fileSize(b.get())) return false;
    // Without memory to look, the file stays.
    std::unique_ptr<uint8_t[]> bufferA(new (std::nothrow) uint8_t[kReadLength]);
    std::unique_ptr<uint8_t[]> bufferB(new (std::nothrow) uint8_t[kReadLength]);
    if (bufferA == nullptr || bufferB == nullptr) return false;
    while (left > 0) {
        const uint32_t length = left < kReadLength ? static_cast<uint32_t>(left) : kReadLength;
        if (fs::readFile(a.get(), bufferA.get(), length) != length) return false;
        if (fs::readFile(b.get(), bufferB.get(), length) != length) return false;
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
    fs::FileIdentity pathId;
    fs::FileIdentity twinId;
    return identities(path, twin, pathId, twinId) && sameContent(path, twin);
}

bool HandOverGuard::admit(const char* path, const char* twin) {
    fs::FileIdentity pathId;
    fs::FileIdentity twinId;
    if (!identities(path, twin, pathId, twinId) || going(pathId) || going(twinId) ||
        !sameContent(path, twin)) {
        return false;
    }
    going_.push_back(pathId);
    return true;
}

bool HandOverGuard::going(const fs::FileIdentity& identity) const {
    for (const fs::FileIdentity& gone : going_) {
        if (gone == identity) return true;
    }
    return false;
}
