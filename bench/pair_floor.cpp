// The least work a "Directory" search at a low percentage can do: for every
// pair of files whose sizes allow the percentage, the byte positions that must
// be compared before the differing bytes pass the allowance (all of the
// smaller file when they never do), with byte-identical files counted once,
// since a copy is found by reading it, not by comparing it with every
// partner. Prints that count, the speed of the vectorised count on data in
// the cache (per second of CPU time, the median and the best of several
// runs), and the floor in seconds at each.
//   bench_pair_floor DIR PERCENT
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/compare/byte_diff.h"
#include "engine/compare/similarity.h"
#include "engine/search/pairs/candidates.h"

namespace {

namespace stdfs = std::filesystem;

std::vector<std::vector<uint8_t>> distinctFiles(const std::string& folder) {
    std::vector<std::vector<uint8_t>> files;
    for (const auto& entry : stdfs::recursive_directory_iterator(folder)) {
        if (!entry.is_regular_file() || entry.is_symlink() || entry.file_size() == 0) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        files.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::sort(files.begin(), files.end(), [](const auto& x, const auto& y) {
        return x.size() != y.size() ? x.size() < y.size() : x < y;
    });
    files.erase(std::unique(files.begin(), files.end()), files.end());
    return files;
}

// Positions compared before the differing bytes pass `limit`, counting from `differing`.
uint64_t comparedUpToStop(const uint8_t* a, const uint8_t* b, uint32_t length, uint32_t differing,
                          uint32_t limit) {
    constexpr uint32_t kStep = 4096;
    for (uint32_t offset = 0; offset < length; offset += kStep) {
        const uint32_t piece = std::min(kStep, length - offset);
        const uint32_t counted = countDifferingBytes(a + offset, b + offset, piece);
        if (differing + counted <= limit) {
            differing += counted;
            continue;
        }
        for (uint32_t i = offset;; ++i)
            if ((differing += a[i] != b[i]) > limit) return i + 1;
    }
    return length;
}

struct CountSpeed {
    double median;
    double best;
};

// Bytes per second of CPU time, so that the figure holds on a loaded machine
// too, over several short runs: their median stands for the machine as it is
// during the benchmark, their best for a machine to itself.
CountSpeed vectorCountSpeed() {
    std::vector<uint8_t> a(64 << 10), b(64 << 10);
    for (std::size_t i = 0; i < a.size(); ++i) {
        a[i] = static_cast<uint8_t>(i * 7);
        b[i] = static_cast<uint8_t>(i * 7 + (i % 3 == 0));
    }
    uint64_t sink = 0;
    std::vector<double> speeds;
    for (int run = 0; run < 9; ++run) {
        uint64_t bytes = 0;
        const std::clock_t start = std::clock();
        double seconds = 0;
        while (seconds < 0.1) {
            for (int i = 0; i < 100; ++i)
                sink += countDifferingBytes(a.data(), b.data(), static_cast<uint32_t>(a.size()));
            bytes += 100 * a.size();
            seconds = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
        }
        speeds.push_back(static_cast<double>(bytes) / seconds);
    }
    if (sink == 0) std::puts("");
    std::sort(speeds.begin(), speeds.end());
    return {speeds[speeds.size() / 2], speeds.back()};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: bench_pair_floor DIR PERCENT\n", stderr);
        return 2;
    }
    const uint32_t match = static_cast<uint32_t>(std::stoul(argv[2]));
    const auto files = distinctFiles(argv[1]);
    uint64_t pairs = 0, positions = 0;
    for (std::size_t x = 0; x < files.size(); ++x) {
        for (std::size_t y = x + 1; y < files.size(); ++y) {
            const uint32_t smaller = static_cast<uint32_t>(files[x].size());
            const uint32_t larger = static_cast<uint32_t>(files[y].size());
            if (sizesRuleOut(smaller, larger, match)) {
                // Every later file is larger still (the bound of engine/search/directory/memory_pairs.cpp).
                if ((uint64_t{smaller} + 2048) * 100 < uint64_t{larger} * match) break;
                continue;
            }
            ++pairs;
            positions += comparedUpToStop(files[x].data(), files[y].data(), smaller, larger - smaller,
                                          maxDifferingBytesFor(larger, match));
        }
    }
    const CountSpeed speed = vectorCountSpeed();
    std::printf(
        "%zu distinct files, %llu pairs of fitting sizes, %.3f GB compared up to the stop, vector count "
        "%.2f GB/s, best %.2f (%s), floor %.3f s, at best %.3f s\n",
        files.size(), static_cast<unsigned long long>(pairs), positions / 1e9, speed.median / 1e9,
        speed.best / 1e9, countMethods().front().name, positions / speed.median, positions / speed.best);
    return 0;
}
