#include "engine/index/folder_read_ahead.h"

#include <new>

#include "engine/job/run_state.h"

namespace {

// Listings held for the walk, and folders kept in line: enough to keep a disk
// busy, a bounded amount of memory however wide the tree.
constexpr uint32_t kHeldListings = 64;
constexpr std::size_t kQueuedFolders = 4096;
// How long a waiting thread sleeps before it looks again without a wake-up call.
constexpr uint32_t kRecheckMs = 20;

bool listFolderEntries(AppState& state, const char* folder, FolderListing& listing) {
    listing.clear();
    return fs::listFolder(folder, [&state, &listing](const fs::FolderEntry& entry) {
        listing.push_back(ListedEntry{entry.name, entry.isFolder, entry.isLink, entry.size});
        if (!entry.isFolder) state.filesFound.fetch_add(1, std::memory_order_relaxed);
    });
}

}  // namespace

FolderReadAhead::~FolderReadAhead() {
    {
        const MutexLock hold(lock_);
        stop_ = true;
    }
    for (std::size_t i = 0; i < listers_.size(); ++i) workWaiting_.notify();
    for (WorkerThread& lister : listers_) lister.join();
}

void FolderReadAhead::queueFirst(const std::vector<std::string>& folders, std::size_t from) {
    for (std::size_t at = folders.size(); at-- > from;) {
        if (jobs_.count(folders[at]) != 0) continue;
        jobs_.emplace(folders[at], Job{});
        queue_.push_front(folders[at]);
    }
    while (queue_.size() > kQueuedFolders) forgetOldest();
}

void FolderReadAhead::expect(const std::vector<std::string>& folders) {
    if (folders.empty()) return;
    // The walk enters the first at once and lists it itself: a lister that took it up would
    // only hold the walk waiting, while the folders after it would wait for a lister.
    {
        const MutexLock hold(lock_);
        queueFirst(folders, 1);
    }
    if (!started_) {
        started_ = true;
        for (WorkerThread& lister : listers_) lister.start([this] { listAhead(); });
    }
    workWaiting_.notify();
}

// Drops the folder the walk will reach last; the walk lists it itself then.
void FolderReadAhead::forgetOldest() {
    const auto job = jobs_.find(queue_.back());
    if (job != jobs_.end() && job->second.stage == Waiting) jobs_.erase(job);
    queue_.pop_back();
}

bool FolderReadAhead::take(const char* folder, FolderListing& listing) {
    for (;;) {
        {
            const MutexLock hold(lock_);
            const auto job = jobs_.find(folder);
            if (job == jobs_.end() || job->second.stage == Waiting) {
                // Not begun: listed here, and the listers skip it.
                if (job != jobs_.end()) jobs_.erase(job);
                break;
            }
            if (job->second.stage == Listed) {
                const bool listed = job->second.listed;
                listing = std::move(job->second.listing);
                jobs_.erase(job);
                --held_;
                workWaiting_.notify();
                return listed;
            }
        }
        listingMade_.wait(kRecheckMs);
    }
    return listFolderEntries(state_, folder, listing);
}

bool FolderReadAhead::stopped() {
    const MutexLock hold(lock_);
    return stop_;
}

bool FolderReadAhead::claim(std::string& path) {
    for (;;) {
        // Pause holds the listers as it holds the walk; an abort ends them.
        if (!holdHelperAtGate(state_, kRecheckMs, [this] { return stopped(); })) return false;
        {
            const MutexLock hold(lock_);
            if (stop_ || state_.runControl.load() == AbortRequested) return false;
            while (held_ < kHeldListings && !queue_.empty()) {
                path = std::move(queue_.front());
                queue_.pop_front();
                const auto job = jobs_.find(path);
                if (job == jobs_.end() || job->second.stage != Waiting) continue;  // the walk took it
                job->second.stage = Listing;
                return true;
            }
        }
        workWaiting_.wait(kRecheckMs);
    }
}

void FolderReadAhead::listAhead() {
    std::string path;
    FolderListing listing;
    while (claim(path)) {
        bool listed = false, made = true;
        std::vector<std::string> below;
        try {
            listed = listFolderEntries(state_, path.c_str(), listing);
            if (listed) below = ahead_(path.c_str(), listing);
        } catch (const std::bad_alloc&) {
            made = false;  // the walk lists the folder itself
        }
        {
            const MutexLock hold(lock_);
            const auto job = jobs_.find(path);
            if (!made) {
                jobs_.erase(job);
            } else {
                job->second.stage = Listed;
                job->second.listed = listed;
                job->second.listing = std::move(listing);
                ++held_;
                try {
                    // Below this folder, the walk goes on before it reaches any folder still in line.
                    queueFirst(below, 0);
                } catch (const std::bad_alloc&) {
                    // What is not in line the walk lists itself.
                }
            }
        }
        listingMade_.notify();
        if (!below.empty()) workWaiting_.notify();
    }
}
