// Results of the pairs compared during one search. Files found byte-identical
// form one class, named by its earliest file; a later pair whose files belong
// to classes already compared takes that result instead of reading again.
#pragma once

#include <cstdint>
#include <unordered_map>

#include "engine/search/pairs/copy_classes.h"

class PairResults {
public:
    explicit PairResults(uint32_t entryCount);

    // The earliest file known to hold the same bytes as `position`.
    uint32_t classOf(uint32_t position) const;
    // Looks up an earlier result for two files of different classes.
    bool find(uint32_t a, uint32_t b, uint32_t& percent) const;
    // Keeps a complete comparison's result; 100 joins the two classes.
    void record(uint32_t a, uint32_t b, uint32_t percent);

private:
    static uint64_t key(uint32_t classA, uint32_t classB);

    // A file no pair has joined with another is in no class: it stands for itself.
    CopyClasses classes_;
    std::unordered_map<uint64_t, uint8_t> results_;
};
