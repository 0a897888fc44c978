#include "engine/search/directory/copy_sets.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <string_view>

#include "engine/compare/file_read.h"
#include "engine/search/pairs/candidates.h"

namespace {

// Bytes of each file's start looked at first: files whose starts differ are
// never read on.
constexpr uint32_t kHeadBytes = 4096;
// Bytes read at a time, between two looks at the pause gate.
constexpr uint32_t kPiece = 1u << 20;
// Bytes of first files of sets held at once for one size.
constexpr uint64_t kHeldBytes = uint64_t{64} << 20;

class CopySearch {
public:
    CopySearch(AppState& state, const FileIndex& index, CopyClasses& copies, uint32_t progressTo)
        : state_(state), index_(index), copies_(copies), progressTo_(progressTo) {}

    void expectBytes(uint64_t bytes) { bytesToDo_ += bytes; }

    // The files of one size: those whose starts match are read on.
    void searchSize(const uint32_t* positions, std::size_t count, uint32_t size) {
        std::vector<std::pair<std::size_t, uint32_t>> heads;
        for (std::size_t at = 0; at < count && holdAtGate(state_); ++at) {
            const fs::OwnedFile file = openAtSize(positions[at], size);
            const uint32_t length = std::min(size, kHeadBytes);
            done(length);
            if (!file || readFromFile(state_, file.get(), state_.compareBufferA, length) != length) {
                done(size - length);
                continue;
            }
            const std::string_view head(reinterpret_cast<const char*>(state_.compareBufferA), length);
            heads.push_back({std::hash<std::string_view>()(head), positions[at]});
        }
        // Equal starts, each group in the order of `positions` (walk order within one size).
        std::stable_sort(heads.begin(), heads.end(),
                         [](const auto& x, const auto& y) { return x.first < y.first; });
        std::vector<uint32_t> group;
        for (std::size_t first = 0; first < heads.size() && !aborted();) {
            std::size_t end = first + 1;
            while (end < heads.size() && heads[end].first == heads[first].first) ++end;
            if (end - first >= 2) {
                group.clear();
                for (std::size_t at = first; at < end; ++at) group.push_back(heads[at].second);
                std::sort(group.begin(), group.end(),
                          [&](uint32_t x, uint32_t y) { return rankOf(x) < rankOf(y); });
                searchGroup(group, size);
            } else {
                done(size - std::min(size, kHeadBytes));
            }
            first = end;
        }
    }

    void setRanks(const std::vector<uint32_t>& positions) {
        rank_.assign(index_.count(), 0);
        for (uint32_t rank = 0; rank < positions.size(); ++rank) rank_[positions[rank]] = rank;
    }

private:
    bool aborted() const { return state_.runControl.load() == AbortRequested; }
    uint32_t rankOf(uint32_t position) const { return rank_[position]; }

    void done(uint64_t bytes) {
        bytesDone_ += bytes;
        state_.progressPercent.store(static_cast<uint32_t>(bytesDone_ * progressTo_ / bytesToDo_));
    }

    fs::OwnedFile openAtSize(uint32_t position, uint32_t size) {
        fs::OwnedFile file = fs::openRead(index_.entry(position).path);
        if (file && fs::fileSize(file.get()) != size) file.reset();
        return file;
    }

    // Files of one size and one start, earliest first: each is read against
    // the first files of the sets met so far, held whole.
    void searchGroup(const std::vector<uint32_t>& group, uint32_t size) {
        std::vector<std::pair<uint32_t, OwnedBlock>> firsts;
        uint64_t held = 0;
        std::vector<std::size_t> alive;
        for (const uint32_t position : group) {
            done(size - std::min(size, kHeadBytes));
            OwnedBlock bytes;
            if (held + size <= kHeldBytes) bytes = OwnedBlock(state_, size);
            alive.clear();
            for (std::size_t set = 0; set < firsts.size(); ++set) alive.push_back(set);
            if (alive.empty() && !bytes) continue;
            const fs::OwnedFile file = openAtSize(position, size);
            bool whole = static_cast<bool>(file);
            for (uint32_t done = 0; whole && done < size; done += kPiece) {
                if (!holdAtGate(state_)) return;
                const uint32_t piece = std::min(kPiece, size - done);
                uint8_t* target = bytes ? bytes.get() + done : state_.compareBufferA;
                whole = readFromFile(state_, file.get(), target, piece) == piece;
                alive.erase(std::remove_if(alive.begin(), alive.end(),
                                           [&](std::size_t set) {
                                               return std::memcmp(firsts[set].second.get() + done, target,
                                                                  piece) != 0;
                                           }),
                            alive.end());
                // Neither a copy nor the first of a set: the rest need not be read.
                if (alive.empty() && !bytes) whole = false;
            }
            if (!whole) continue;
            if (!alive.empty()) {
                copies_.join(firsts[alive.front()].first, position);
            } else if (bytes) {
                held += size;
                firsts.emplace_back(position, std::move(bytes));
            }
        }
    }

    AppState& state_;
    const FileIndex& index_;
    CopyClasses& copies_;
    std::vector<uint32_t> rank_;
    const uint32_t progressTo_;
    uint64_t bytesToDo_ = 0;
    uint64_t bytesDone_ = 0;
};

}  // namespace

void findCopies(AppState& state, const FileIndex& index, const std::vector<uint32_t>& positions,
                CopyClasses& copies, uint32_t progressTo) {
    copies.reset(index.count());
    CopySearch search(state, index, copies, progressTo);
    search.setRanks(positions);
    // Runs of files of one size, as [first, end) of `positions`.
    std::vector<std::pair<std::size_t, std::size_t>> runs;
    for (std::size_t first = 0; first < positions.size();) {
        const uint64_t size = index.entry(positions[first]).listedSize;
        std::size_t end = first + 1;
        while (end < positions.size() && index.entry(positions[end]).listedSize == size) ++end;
        if (end - first >= 2 && size != 0) {
            runs.push_back({first, end});
            search.expectBytes(size * (end - first));
        }
        first = end;
    }
    for (const auto& [first, end] : runs) {
        if (state.runControl.load() == AbortRequested) return;
        const uint32_t size = static_cast<uint32_t>(index.entry(positions[first]).listedSize);
        search.searchSize(positions.data() + first, end - first, size);
    }
}
