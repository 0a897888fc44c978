// Running a duplicate search over a test folder and reading back its rows.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "engine/base/fs.h"
#include "engine/job/app_state.h"
#include "engine/rows/result_store.h"
#include "engine/search/duplicate_search.h"
#include "tests/engine/compare_test_files.h"

// A test search: the options it is started with (no read-only override) and zero-length checking.
struct SearchSetup {
    SearchMode mode = QuickDirMode;
    bool useHash = true;
    uint32_t matchPercent = 95;
    bool zeroLength = false;
    DirectoryRoute route = CheaperRoute;
};

// The routes a reference test runs: both where "Directory" may take either.
inline std::vector<DirectoryRoute> routesFor(const SearchSetup& setup) {
    if (setup.mode == DirectoryMode && setup.matchPercent >= 90) return {ListingRoute, MemoryRoute};
    return {CheaperRoute};
}

// A row store that lets a test act when the search inserts a row.
class WatchedList : public ResultStore {
public:
    void insertRow(int row, const char* text) override {
        ResultStore::insertRow(row, text);
        if (onInsert) onInsert(row, text);
    }
    void insertTwinRow(int row, const TwinRecord& twin) override {
        ResultStore::insertTwinRow(row, twin);
        if (onInsert) onInsert(row, twin.pathA);
    }
    void insertJobRow(int row, const JobRowRecord& record) override {
        ResultStore::insertJobRow(row, record);
        PathText label;
        writeJobRowCell(record, 0, label);
        if (onInsert) onInsert(row, label);
    }
    std::function<void(int, const char*)> onInsert;
};

class SearchState {
public:
    explicit SearchState(const SearchSetup& setup = {})
        : options{setup.mode, setup.matchPercent, setup.useHash, false, setup.route} {
        state.results = &list;
        state.checkZeroLength = setup.zeroLength ? 1 : 0;
    }

    // Runs the search the way Start does, keeping its outcome.
    void start(const std::string& folder) {
        state.runState = Comparing;
        state.progressPercent = 0;
        outcome = searchDuplicates(state, folder.c_str(), options);
    }

    // The same, returning the rows.
    std::vector<ResultRow> search(const std::string& folder) {
        start(folder);
        return list.rows();
    }

    // What Abort does in the window.
    void abort() { requestAbort(state); }

    SearchOptions options;
    AppState state;
    WatchedList list;
    SearchOutcome outcome;
};

inline std::string joined(const std::string& folder, const std::string& name) {
    return folder + fs::kSeparator + name;
}

inline ResultRow twinRow(const std::string& a, const std::string& b, const std::string& percent) {
    return ResultRow{a, b, percent};
}

// Files below `folder` in the order the walk meets them.
inline void filesInWalkOrder(const std::string& folder, std::vector<std::string>& files) {
    fs::listFolder(folder.c_str(), [&](const fs::FolderEntry& entry) {
        const std::string path = joined(folder, entry.name);
        if (entry.isFolder) {
            filesInWalkOrder(path, files);
        } else {
            files.push_back(path);
        }
    });
}

inline void makeFolder(const TestFolder& folder, const std::string& name) {
    std::filesystem::create_directories(folder.path(name));
}
