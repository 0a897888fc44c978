// How soon a "Directory" search answers Pause and Abort: the search runs on a
// worker, is paused at random moments the way the window pauses it, and the
// time until its CPU use stops is taken (the process's CPU clock, polled every
// millisecond; the search counts as held once it has used less than 2 ms in
// 50 ms); at last it is aborted and the time until it returns is taken.
//   bench_pause_response FOLDER PERCENT [PAUSES]
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <random>
#include <vector>

#include "engine/duplicate_search.h"
#include "engine/result_store.h"
#include "engine/worker_thread.h"

namespace {

double seconds(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// Seconds from now until the process's CPU use stops, or a negative number
// when it has not stopped within `patience` seconds.
double untilHeld(double patience) {
    struct Sample {
        double wall, cpu;
    };
    std::vector<Sample> samples;
    const double start = seconds(CLOCK_MONOTONIC);
    for (;;) {
        const Sample now{seconds(CLOCK_MONOTONIC), seconds(CLOCK_PROCESS_CPUTIME_ID)};
        samples.push_back(now);
        // The earliest sample at most 50 ms old: the search is held when little CPU went by since.
        auto since = std::lower_bound(samples.begin(), samples.end(), now.wall - 0.05,
                                      [](const Sample& s, double wall) { return s.wall < wall; });
        if (now.wall - samples.front().wall >= 0.05 && now.cpu - since->cpu < 0.002)
            return since->wall - start;
        if (now.wall - start > patience) return -1;
        sleepMilliseconds(1);
    }
}

void printSpread(const char* what, std::vector<double> times) {
    if (times.empty()) return;
    std::sort(times.begin(), times.end());
    std::printf("%s: %zu times, median %.3f s, longest %.3f s\n", what, times.size(), times[times.size() / 2],
                times.back());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4 || std::strlen(argv[1]) >= kPathTextSize) {
        std::fputs("usage: bench_pause_response FOLDER PERCENT [PAUSES]\n", stderr);
        return 2;
    }
    const int pauses = argc == 4 ? std::atoi(argv[3]) : 10;
    AppState state;
    ResultStore rows;
    state.results = &rows;
    state.settings.searchMode = DirectoryMode;
    state.settings.matchPercent = static_cast<uint32_t>(std::atoi(argv[2]));
    std::atomic<bool> ended{false};
    WorkerThread worker;
    worker.start([&] {
        searchDuplicates(state, argv[1]);
        ended = true;
    });
    std::mt19937 random(1);
    std::vector<double> pauseTimes;
    int missed = 0;
    for (int i = 0; i < pauses; ++i) {
        sleepMilliseconds(200 + random() % 800);
        if (ended) break;
        state.runControl = Paused;
        state.pauseGate.closeGate();
        const double held = untilHeld(5);
        if (held >= 0)
            pauseTimes.push_back(held);
        else
            ++missed;
        state.runControl = Running;
        state.pauseGate.openGate();
    }
    const double abortStart = seconds(CLOCK_MONOTONIC);
    const bool endedBefore = ended;
    requestAbort(state);
    worker.join();
    const double abortTime = seconds(CLOCK_MONOTONIC) - abortStart;
    printSpread("pause held after", pauseTimes);
    if (missed != 0) std::printf("%d pauses not held within 5 s\n", missed);
    if (endedBefore)
        std::puts("the search ended before the abort: a larger tree is needed");
    else
        std::printf("abort returned after %.3f s\n", abortTime);
    return 0;
}
