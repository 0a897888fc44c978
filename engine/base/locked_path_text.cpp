#include "engine/base/locked_path_text.h"

#include <cstring>

bool LockedPathText::write(const char* text) {
    MutexLock lock(mutex_);
    return copyPathText(text_, text);
}

void LockedPathText::read(PathText& text) const {
    MutexLock lock(mutex_);
    std::memcpy(text, text_, sizeof(text_));
}

void LockedPathText::replace(const PathText& text) {
    MutexLock lock(mutex_);
    std::memcpy(text_, text, sizeof(text_));
}
