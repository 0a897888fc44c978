#include "cli/group_output.h"

#include <algorithm>
#include <numeric>
#include <string>

#include "engine/base/fs.h"

uint32_t GroupingResultList::numberOf(const char* path, const TwinFileFacts& facts, uint32_t searchNumber) {
    // Room first, so that a file the table takes always has its places here.
    joinedTo_.reserve(joinedTo_.size() + 1);
    walkPlace_.reserve(walkPlace_.size() + 1);
    const uint32_t file = files_.add(path, facts, searchNumber);
    if (file == joinedTo_.size()) {
        joinedTo_.push_back(file);
        walkPlace_.push_back(searchNumber);
    }
    return file;
}

uint32_t GroupingResultList::setOf(uint32_t file) {
    while (joinedTo_[file] != file) {
        joinedTo_[file] = joinedTo_[joinedTo_[file]];
        file = joinedTo_[file];
    }
    return file;
}

void GroupingResultList::insertTwinRow(int, const TwinRecord& twin) {
    const uint32_t a = setOf(numberOf(twin.pathA, twin.factsA, twin.fileA));
    const uint32_t b = setOf(numberOf(twin.pathB, twin.factsB, twin.fileB));
    joinedTo_[std::max(a, b)] = std::min(a, b);
}

std::vector<std::vector<uint32_t>> GroupingResultList::sets() {
    std::vector<uint32_t> walkOrder(joinedTo_.size());
    std::iota(walkOrder.begin(), walkOrder.end(), 0u);
    std::stable_sort(walkOrder.begin(), walkOrder.end(),
                     [this](uint32_t x, uint32_t y) { return walkPlace_[x] < walkPlace_[y]; });
    std::vector<std::vector<uint32_t>> found;
    std::vector<uint32_t> placeOfSet(joinedTo_.size(), kNoSearchNumber);
    for (const uint32_t file : walkOrder) {
        uint32_t& place = placeOfSet[setOf(file)];
        if (place == kNoSearchNumber) {
            place = static_cast<uint32_t>(found.size());
            found.emplace_back();
        }
        found[place].push_back(file);
    }
    return found;
}

void GroupingResultList::printSets() {
    uint32_t number = 0;
    for (const std::vector<uint32_t>& set : sets()) {
        std::vector<fs::FileIdentity> seen;
        std::vector<std::string> paths;
        for (const uint32_t file : set) {
            fs::FileIdentity identity = files_.facts(file).identity;
            const bool known =
                files_.facts(file).identityKnown || fs::fileIdentity(files_.path(file), identity);
            if (known && std::find(seen.begin(), seen.end(), identity) != seen.end()) continue;
            if (known) seen.push_back(identity);
            paths.emplace_back(files_.path(file));
        }
        if (paths.size() < 2) continue;
        write(formatGroup(format(), ++number, files_.facts(set.front()).size, paths));
    }
}

void GroupingResultList::insertJobRow(int row, const JobRowRecord& record) {
    if (record.kind == JobRowKind::SearchEnd && !joinedTo_.empty()) {
        printHeld();  // the opening row
        printSets();
    }
    PrintingResultList::insertJobRow(row, record);
}

void GroupingResultList::clearRows() {
    PrintingResultList::clearRows();
    files_.clear();
    joinedTo_.clear();
    walkPlace_.clear();
}
