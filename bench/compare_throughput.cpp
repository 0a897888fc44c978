// Throughput of the two comparison roles on one pair of files, against a
// plain memcmp over the same 10,000,000-byte chunks. Best of N rounds; run it
// on a warm cache (bench/compare.sh does).
//   bench_compare_throughput FILE_A FILE_B [ROUNDS]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

#include "engine/compare.h"
#include "engine/fs.h"
#include "engine/result_list.h"

namespace {

double bestSeconds(int rounds, const std::function<void()>& work) {
    double best = 1e30;
    for (int round = 0; round < rounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        work();
        const std::chrono::duration<double> taken = std::chrono::steady_clock::now() - start;
        if (taken.count() < best) best = taken.count();
    }
    return best;
}

// Reads both files chunk by chunk and memcmp's each pair of chunks; returns
// the chunks that differ.
uint32_t memcmpLoop(const char* pathA, const char* pathB, uint8_t* bufferA, uint8_t* bufferB) {
    fs::File* fileA = fs::openRead(pathA);
    fs::File* fileB = fs::openRead(pathB);
    uint32_t differingChunks = 0;
    for (;;) {
        const int64_t readA = fs::readFile(fileA, bufferA, kChunkLength);
        const int64_t readB = fs::readFile(fileB, bufferB, kChunkLength);
        const int64_t length = readA < readB ? readA : readB;
        if (length <= 0) break;
        differingChunks += std::memcmp(bufferA, bufferB, static_cast<size_t>(length)) != 0;
    }
    fs::closeFile(fileA);
    fs::closeFile(fileB);
    return differingChunks;
}

void report(const char* method, double seconds, double megabytes, const char* result) {
    std::printf("%-22s %8.3f s %9.0f MB/s   %s\n", method, seconds, megabytes / seconds, result);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("usage: bench_compare_throughput FILE_A FILE_B [ROUNDS]\n", stderr);
        return 2;
    }
    const int rounds = argc > 3 ? std::atoi(argv[3]) : 3;
    fs::File* probe = fs::openRead(argv[1]);
    if (probe == nullptr) return 2;
    const double megabytes = static_cast<double>(fs::fileSize(probe)) / 1e6;
    fs::closeFile(probe);

    AppState state;
    std::strcpy(state.settings.pathA, argv[1]);
    std::strcpy(state.settings.pathB, argv[2]);
    state.compareBufferA = allocateZeroed(state, kSearchBufferSize);
    state.compareBufferB = allocateZeroed(state, kSearchBufferSize);
    char text[64];

    uint32_t chunks = 0;
    const double memcmpSeconds = bestSeconds(rounds, [&] {
        chunks = memcmpLoop(argv[1], argv[2], state.compareBufferA, state.compareBufferB);
    });
    std::snprintf(text, sizeof text, "%u differing chunks", chunks);
    report("memcmp chunk loop", memcmpSeconds, megabytes, text);

    state.settings.searchMode = DirectoryMode;
    uint32_t percent = 0;
    const double searchSeconds = bestSeconds(rounds, [&] { percent = compareFiles(state); });
    std::snprintf(text, sizeof text, "%u%%  (%.2fx memcmp)", percent, memcmpSeconds / searchSeconds);
    report("compareFiles, search", searchSeconds, megabytes, text);

    releaseBlock(state, state.compareBufferA);
    releaseBlock(state, state.compareBufferB);
    state.settings.searchMode = FileMode;
    MemoryResultList list;
    state.results = &list;
    const double fileSeconds = bestSeconds(rounds, [&] { compareFiles(state); });
    std::snprintf(text, sizeof text, "%d rows  (%.2fx memcmp)", list.rowCount(), memcmpSeconds / fileSeconds);
    report("compareFiles, File", fileSeconds, megabytes, text);
    return 0;
}
