// A path text that one thread writes while another shows it. Every read and
// write holds one lock, so a reader never sees half of one path and half of
// the next.
#pragma once

#include "engine/base/path_text.h"
#include "engine/base/worker_thread.h"

class LockedPathText {
public:
    // As copyPathText: `text` replaces the start of the 600 bytes when it fits
    // (bytes past its end stay as they were); false, and nothing changed, when not.
    bool write(const char* text);
    // All 600 bytes as they stand.
    void read(PathText& text) const;
    // Replaces all 600 bytes.
    void replace(const PathText& text);

private:
    mutable Mutex mutex_;
    PathText text_{};
};
