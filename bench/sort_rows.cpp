// A header click on a long twin list: every pair of FILES files (3,000 by
// default: 4,498,500 rows) in the engine's row store, sorted by each column
// one way and back, with the time of each sort.
//   bench_sort_rows [FILES]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/rows/result_store.h"

int main(int argc, char** argv) {
    const uint32_t files = argc > 1 ? static_cast<uint32_t>(std::strtoul(argv[1], nullptr, 10)) : 3000;
    std::vector<std::string> names;
    for (uint32_t file = 0; file < files; ++file)
        names.push_back("C:\\data\\tree\\sub" + std::to_string(file % 97) + "\\copy" + std::to_string(file) +
                        ".bin");
    ResultStore rows;
    rows.insertRow(0, "Start");
    int row = 1;
    for (uint32_t a = 0; a < files; ++a) {
        for (uint32_t b = a + 1; b < files; ++b)
            rows.insertTwinRow(
                row++, TwinRecord{names[a].c_str(), names[b].c_str(), 90 + (a + b) % 11, {}, {}, a, b});
    }
    rows.insertRow(row, "End");
    std::printf("%d rows\n", rows.rowCount());
    for (int column = 0; column < 3; ++column) {
        for (bool descending : {false, true}) {
            const auto start = std::chrono::steady_clock::now();
            rows.sortRows(column, descending);
            const auto took = std::chrono::steady_clock::now() - start;
            std::printf(
                "column %d %s: %lld ms\n", column, descending ? "descending" : "ascending",
                static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(took).count()));
        }
    }
    return 0;
}
