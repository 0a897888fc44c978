// The twin rows of a search at 100% gathered into sets of byte-identical
// files: each set printed once, in place of its twin rows, when the search
// closes.
#pragma once

#include <cstdint>
#include <vector>

#include "cli/row_output.h"
#include "engine/rows/twin_files.h"

// Prints the opening and closing rows as PrintingResultList does and, between
// them, every set: in the order of its first file in the walk, its files in
// walk order. Two paths that name one physical file are never twins, so a set
// names each physical file once: by the first of its paths the walk met.
class GroupingResultList : public PrintingResultList {
public:
    using PrintingResultList::PrintingResultList;

    void insertTwinRow(int row, const TwinRecord& twin) override;
    void insertJobRow(int row, const JobRowRecord& record) override;
    void clearRows() override;

private:
    // The number of the file in files_, a set of its own when it is new.
    uint32_t numberOf(const char* path, const TwinFileFacts& facts, uint32_t searchNumber);
    uint32_t setOf(uint32_t file);
    // The sets, each its files' numbers in walk order, first files in walk order.
    std::vector<std::vector<uint32_t>> sets();
    void printSets();

    TwinFiles files_;
    // For each file: a file of its set nearer the set's root, itself at the root.
    std::vector<uint32_t> joinedTo_;
    // For each file: its place in the walk.
    std::vector<uint32_t> walkPlace_;
};
