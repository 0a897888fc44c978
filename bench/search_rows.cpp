// A Quick Dir search at 100% into the engine's row store, which keeps every
// row as the window does; with bench/twin_rows.sh's peak memory this gives
// the bytes a kept twin row costs.
//   bench_search_rows FOLDER
#include <cstdio>
#include <cstring>

#include "engine/rows/result_store.h"
#include "engine/search/duplicate_search.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: bench_search_rows FOLDER\n", stderr);
        return 2;
    }
    AppState state;
    ResultStore rows;
    state.results = &rows;
    state.reportNoMemory = [] { std::fputs("Not enough memory\n", stderr); };
    if (std::strlen(argv[1]) >= kPathTextSize) return 2;
    searchDuplicates(state, argv[1], SearchOptions{QuickDirMode, 100, true, false});
    PathText closing;
    rows.getCell(rows.rowCount() - 1, 0, closing);
    std::printf("%d rows kept, closing row %s\n", rows.rowCount(), closing);
    return 0;
}
