// Listings of the folders a walk is about to enter, made ahead of it by a few
// threads of their own. A cold disk then has several folders' requests in
// flight instead of one, and on a warm one the listing shares the machine's
// cores. The walk still enters every folder in its own order and takes each
// listing as it would have made it, so the index it builds is the same.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/base/fs.h"
#include "engine/base/worker_thread.h"
#include "engine/job/app_state.h"

struct ListedEntry {
    std::string name;
    bool isFolder;
    bool isLink;
    uint64_t size;
};
using FolderListing = std::vector<ListedEntry>;

// The folders of `listing` (of `folder`) that the walk will enter and that may
// be listed ahead of it, as full paths in the walk's order.
using FoldersAhead =
    std::function<std::vector<std::string>(const char* folder, const FolderListing& listing)>;

class FolderReadAhead {
public:
    // A lister that has made a listing expects the folders `ahead` finds in it,
    // so the listers run ahead of the walk down the tree, not only one level.
    FolderReadAhead(AppState& state, FoldersAhead ahead) : state_(state), ahead_(std::move(ahead)) {}
    // Stops the listers once each has finished the folder in its hands.
    ~FolderReadAhead();
    FolderReadAhead(const FolderReadAhead&) = delete;
    FolderReadAhead& operator=(const FolderReadAhead&) = delete;

    // `folders` (full paths) are the walk's next, in this order, ahead of any
    // handed in before; the first, which the walk enters at once, it lists
    // itself. Starts the listers the first time.
    void expect(const std::vector<std::string>& folders);
    // The listing of `folder` as fs::listFolder gives it: the listers' when
    // they made it, awaited while one makes it, else made here. False when the
    // folder cannot be listed.
    bool take(const char* folder, FolderListing& listing);

private:
    enum Stage { Waiting, Listing, Listed };
    struct Job {
        Stage stage = Waiting;
        bool listed = false;  // the folder could be listed
        FolderListing listing;
    };
    void listAhead();
    // True once the owner has told the helpers to stop.
    bool stopped();
    // The next folder for a lister; false when the listers must stop.
    bool claim(std::string& path);
    void forgetOldest();
    // Under lock_: `folders` from `from` on go ahead of every folder in line, in their order.
    void queueFirst(const std::vector<std::string>& folders, std::size_t from);

    AppState& state_;
    const FoldersAhead ahead_;
    Mutex lock_;
    // Under lock_: folders not yet claimed, the walk's next first, and every
    // folder expected and not yet taken.
    std::deque<std::string> queue_;
    std::map<std::string, Job> jobs_;
    uint32_t held_ = 0;  // listings made and not yet taken
    bool stop_ = false;
    bool started_ = false;
    Signal workWaiting_;
    Signal listingMade_;
    std::array<WorkerThread, 2> listers_;
};
