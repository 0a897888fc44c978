// How a running search answers the user: how soon Pause holds it and Abort
// ends it at points through the search, and whether its progress rises
// steadily to 100 and then 101.
//   bench_search_response FOLDER quick|directory PERCENT [POINTS]
// A first run times the whole search and watches its progress. Then one run
// per point (POINTS, default 6, spread evenly through the search): Pause at
// the point, held when the search's thread last used the processor before a
// tenth of a second without it, then Resume and Abort, ended when the search
// returns. Each figure is wall time from the request; the goal is half a
// second. On a loaded machine a thread that waits for a processor looks held,
// so run it on a quiet one.
#include <pthread.h>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <thread>

#include "engine/rows/result_store.h"
#include "engine/search/duplicate_search.h"

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double cpuSecondsOf(std::thread& thread) {
    clockid_t clock{};
    timespec now{};
    if (pthread_getcpuclockid(thread.native_handle(), &clock) != 0 || clock_gettime(clock, &now) != 0)
        return 0;
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

void pauseMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

struct Job {
    const char* folder;
    SearchMode mode;
    uint32_t percent;
};

// One search on a worker thread, with the state and rows it reports to.
class RunningSearch {
public:
    explicit RunningSearch(const Job& job) {
        state_.results = &rows_;
        state_.reportNoMemory = [] { std::fputs("Not enough memory\n", stderr); };
        worker_ = std::thread([this, job] {
            searchDuplicates(state_, job.folder, SearchOptions{job.mode, job.percent, true, false});
            done_ = true;
        });
    }
    bool done() const { return done_.load(); }
    AppState& state() { return state_; }
    double workerCpuSeconds() { return cpuSecondsOf(worker_); }
    void join() { worker_.join(); }

private:
    AppState state_;
    ResultStore rows_;
    std::atomic<bool> done_{false};
    // A thread of the standard library, whose processor time the benchmark can read.
    std::thread worker_;
};

struct Progress {
    double seconds = 0;
    double longestStall = 0;  // longest time progress stood still
    double stallFrom = 0;     // where in the search that stall began
    bool fell = false;
    uint32_t last = 0;
};

Progress watchWholeSearch(const Job& job) {
    Progress progress;
    RunningSearch search(job);
    const Clock::time_point start = Clock::now();
    double changedAt = 0;
    while (!search.done()) {
        const uint32_t now = search.state().progressPercent.load();
        const double at = secondsSince(start);
        if (now < progress.last) progress.fell = true;
        if (now != progress.last) {
            if (at - changedAt > progress.longestStall) {
                progress.longestStall = at - changedAt;
                progress.stallFrom = changedAt;
            }
            changedAt = at;
            progress.last = now;
        }
        pauseMs(2);
    }
    search.join();
    progress.seconds = secondsSince(start);
    progress.last = search.state().progressPercent.load();
    return progress;
}

// Seconds from the Pause request to the worker's last use of the processor,
// once it has used none for 100 ms; negative when that never came within 3 s.
double secondsUntilHeld(RunningSearch& search) {
    AppState& state = search.state();
    const Clock::time_point asked = Clock::now();
    state.runControl = Paused;
    state.pauseGate.closeGate();
    double lastUse = 0;
    double cpu = search.workerCpuSeconds();
    while (secondsSince(asked) < 3 && !search.done()) {
        pauseMs(1);
        const double now = search.workerCpuSeconds();
        const double at = secondsSince(asked);
        if (now != cpu) {
            cpu = now;
            lastUse = at;
        } else if (at - lastUse >= 0.1) {
            return lastUse;
        }
    }
    return -1;
}

double secondsUntilAborted(RunningSearch& search) {
    const Clock::time_point asked = Clock::now();
    requestAbort(search.state());
    while (!search.done()) pauseMs(1);
    return secondsSince(asked);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4 || (std::strcmp(argv[2], "quick") != 0 && std::strcmp(argv[2], "directory") != 0) ||
        std::strlen(argv[1]) >= kPathTextSize) {
        std::fputs("usage: bench_search_response FOLDER quick|directory PERCENT [POINTS]\n", stderr);
        return 2;
    }
    const Job job{argv[1], std::strcmp(argv[2], "quick") == 0 ? QuickDirMode : DirectoryMode,
                  static_cast<uint32_t>(std::atoi(argv[3]))};
    const int points = argc > 4 ? std::max(1, std::atoi(argv[4])) : 6;

    watchWholeSearch(job);  // warms the cache
    const Progress whole = watchWholeSearch(job);
    std::printf("whole search %.2f s; progress ends at %u, %s; longest stand-still %.2f s (from %.2f s)\n",
                whole.seconds, whole.last, whole.fell ? "FELL at least once" : "never fell",
                whole.longestStall, whole.stallFrom);
    double worstPause = 0, worstAbort = 0;
    for (int point = 1; point <= points; ++point) {
        const double at = whole.seconds * point / (points + 1);
        RunningSearch search(job);
        const Clock::time_point start = Clock::now();
        while (secondsSince(start) < at && !search.done()) pauseMs(1);
        if (search.done()) {
            search.join();
            std::printf("  at %5.2f s: the search had ended\n", at);
            continue;
        }
        const uint32_t percent = search.state().progressPercent.load();
        const double held = secondsUntilHeld(search);
        search.state().runControl = Running;
        search.state().pauseGate.openGate();
        pauseMs(20);
        const double aborted = search.done() ? 0 : secondsUntilAborted(search);
        search.join();
        if (held < 0) {
            std::printf("  at %5.2f s (progress %3u): Pause NOT held within 3 s; Abort %.3f s\n", at, percent,
                        aborted);
            worstPause = 3;
        } else {
            std::printf("  at %5.2f s (progress %3u): Pause held in %.3f s; Abort %.3f s\n", at, percent,
                        held, aborted);
            worstPause = std::max(worstPause, held);
        }
        worstAbort = std::max(worstAbort, aborted);
    }
    std::printf("worst: Pause %.3f s, Abort %.3f s (goal 0.5 s each)\n", worstPause, worstAbort);
    return 0;
}
