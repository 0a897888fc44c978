// How the command line writes one row of the list: the list's cells separated
// by tabs (tsv), RFC 4180 records (csv), or one JSON object with typed fields
// (json, JSON Lines). The format is chosen once per run.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class ResultStore;

enum class RowFormat { Tsv, Csv, Json };

// "tsv", "csv" or "json"; false for any other name.
bool parseRowFormat(const std::string& name, RowFormat& format);

// The --format lines of a command's usage, with how names are written.
extern const char kRowFormatUsage[];

// Row `row` of `store` as one line with its line end.
std::string formatRow(RowFormat format, ResultStore& store, int row);

// The line formatRow writes for a twin row of these paths and percentage,
// appended to `line`: for rows printed as they are found, never stored.
void appendTwinLine(RowFormat format, const char* pathA, const char* pathB, uint32_t percent,
                    std::string& line);

// One set of byte-identical files of `size` bytes, numbered from 1, with its
// line ends: tsv its paths one a line, a blank line after them (and one before
// the first set, after the opening row); csv a record of number, size and path
// for each; json one object {"row":"group","size":N,"paths":[...]}.
std::string formatGroup(RowFormat format, uint32_t number, uint64_t size,
                        const std::vector<std::string>& paths);
