#include "actions/last_copy_guard_model.h"

#include <cstdint>

namespace {

bool sizeOf(const char* path, uint64_t& size) {
    fs::File* file = fs::openRead(path);
    if (file == nullptr) return false;
    size = fs::fileSize(file);
    fs::closeFile(file);
    return true;
}

bool identities(const char* path, const char* twin, fs::FileIdentity& pathId, fs::FileIdentity& twinId) {
    return fs::fileIdentity(path, pathId) && fs::fileIdentity(twin, twinId) && !(pathId == twinId);
}

bool sameSize(const char* path, const char* twin) {
    uint64_t pathSize = 0;
    uint64_t twinSize = 0;
    return sizeOf(path, pathSize) && sizeOf(twin, twinSize) && pathSize == twinSize;
}

}  // namespace

bool twinHoldsCopy(const char* path, const char* twin) {
    fs::FileIdentity pathId;
    fs::FileIdentity twinId;
    return identities(path, twin, pathId, twinId) && sameSize(path, twin);
}

bool HandOverGuard::admit(const char* path, const char* twin) {
    fs::FileIdentity pathId;
    fs::FileIdentity twinId;
    if (!identities(path, twin, pathId, twinId) || going(pathId) || going(twinId) || !sameSize(path, twin)) {
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
