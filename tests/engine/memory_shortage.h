// A shortage of memory made to order: while a MemoryShortage lives, the
// program's `failing`-th request for memory through new (the containers,
// strings and the row store all ask so) throws std::bad_alloc, as the heap
// does when it is exhausted; the requests before and after it are served.
#pragma once

class MemoryShortage {
public:
    // 0: no request fails, the requests are only counted.
    explicit MemoryShortage(long failing);
    ~MemoryShortage();
    MemoryShortage(const MemoryShortage&) = delete;
    MemoryShortage& operator=(const MemoryShortage&) = delete;
    // Requests made so far while this shortage lives.
    long asked() const;
};
