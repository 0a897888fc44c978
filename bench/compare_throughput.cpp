// Throughput of the two comparison roles on one pair of files, against a
// plain memcmp over the same 10,000,000-byte chunks and, when given, an outside
// command (cmp). The methods take turns round by round so that each sees the
// same machine; the best round of each counts. Run it on a warm cache
// (bench/compare.sh does).
//   bench_compare_throughput FILE_A FILE_B ROUNDS [COMMAND]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "engine/base/fs.h"
#include "engine/compare/compare_files.h"
#include "engine/rows/result_store.h"
#include "engine/search/pairs/pair_compare.h"

namespace {

struct Method {
    Method(std::string methodName, std::function<std::string()> work)
        : name(std::move(methodName)), run(std::move(work)) {}
    std::string name;
    std::function<std::string()> run;  // returns what it found
    double best = 1e30;
    std::string found;
};

// Reads both files chunk by chunk and memcmp's each pair of chunks.
std::string memcmpLoop(const char* pathA, const char* pathB, uint8_t* bufferA, uint8_t* bufferB) {
    const fs::OwnedFile fileA = fs::openRead(pathA);
    const fs::OwnedFile fileB = fs::openRead(pathB);
    uint32_t differingChunks = 0;
    for (;;) {
        const int64_t readA = fs::readFile(fileA.get(), bufferA, kChunkLength);
        const int64_t readB = fs::readFile(fileB.get(), bufferB, kChunkLength);
        const int64_t length = readA < readB ? readA : readB;
        if (length <= 0) break;
        differingChunks += std::memcmp(bufferA, bufferB, static_cast<size_t>(length)) != 0;
    }
    return std::to_string(differingChunks) + " differing chunks";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fputs("usage: bench_compare_throughput FILE_A FILE_B ROUNDS [COMMAND]\n", stderr);
        return 2;
    }
    const int rounds = std::atoi(argv[3]);
    const fs::OwnedFile probe = fs::openRead(argv[1]);
    if (!probe) return 2;
    const double megabytes = static_cast<double>(fs::fileSize(probe.get())) / 1e6;

    AppState search;
    const CompareBuffers buffers(search, kSearchBufferSize);
    if (!buffers) return 2;
    AppState report;
    ResultStore list;
    report.results = &list;

    std::vector<Method> methods;
    methods.emplace_back("memcmp chunk loop", [&] {
        return memcmpLoop(argv[1], argv[2], search.compareBufferA, search.compareBufferB);
    });
    methods.emplace_back("search comparison", [&] {
        return std::to_string(comparePairInPieces(search, argv[1], argv[2], 0)) + "%";
    });
    methods.emplace_back("compareFiles, File", [&] {
        compareFiles(report, argv[1], argv[2]);
        return std::to_string(list.rowCount()) + " rows";
    });
    if (argc > 4) {
        const std::string command = argv[4];
        methods.emplace_back(command,
                             [command] { return "status " + std::to_string(std::system(command.c_str())); });
    }

    for (int round = 0; round < rounds; ++round) {
        for (Method& method : methods) {
            const auto start = std::chrono::steady_clock::now();
            method.found = method.run();
            const std::chrono::duration<double> taken = std::chrono::steady_clock::now() - start;
            if (taken.count() < method.best) method.best = taken.count();
        }
    }
    const double memcmpBest = methods[0].best;
    const double cmpBest = methods.size() > 3 ? methods[3].best : 0;
    for (const Method& method : methods) {
        std::printf("%-24s %7.3f s %7.0f MB/s  %5.2fx memcmp", method.name.substr(0, 24).c_str(), method.best,
                    megabytes / method.best, memcmpBest / method.best);
        if (cmpBest > 0) std::printf("  %5.2fx cmp", cmpBest / method.best);
        std::printf("   %s\n", method.found.c_str());
    }
    return 0;
}
