// kestrow compare FILE_A FILE_B [--zero-length]: the rows of a "File"
// comparison, and an exit status that tells same from different from trouble.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/row_output.h"
#include "engine/compare/compare_files.h"

namespace {

constexpr int kExitSame = 0;
constexpr int kExitDifferent = 1;
constexpr int kExitTrouble = 2;

void printCompareUsage(FILE* out) {
    std::fputs(
        "usage: kestrow compare FILE_A FILE_B [--zero-length] [--format tsv|csv|json]\n"
        "Lists every run of differing bytes (position, length, details) and a verdict.\n"
        "  --zero-length  two empty files count as equal (\"Zero Bytes\") instead of \"Fault\"\n",
        out);
    std::fputs(kRowFormatUsage, out);
    std::fputs(
        "      rows: {\"row\":\"start\",\"note\":...}, {\"row\":\"run\",\"offset\":N,\"length\":N,\n"
        "            \"bytes_a\":[N,...],\"bytes_b\":[N,...]} (the run's first bytes, up to 20; none when\n"
        "            the row says \"Different\"), {\"row\":\"end\" or \"aborted\",\"verdict\":...}\n"
        "Exit status: 0 same, 1 different, 2 trouble (a file not opened or read, a size refused, bad "
        "usage).\n",
        out);
}

int usageError(const std::string& problem) {
    std::fprintf(stderr, "kestrow compare: %s\n", problem.c_str());
    printCompareUsage(stderr);
    return kExitTrouble;
}

// A comparison that ran to its end tells same from different; anything else is trouble.
int exitStatusFor(const CompareOutcome& outcome) {
    if (outcome.end != JobEnd::Completed) return kExitTrouble;
    switch (outcome.pair) {
        case PairOutcome::ZeroBytes: return kExitSame;
        case PairOutcome::Compared: return outcome.differingBytes == 0 ? kExitSame : kExitDifferent;
        case PairOutcome::OpenFailed:
        case PairOutcome::SizeFault:
        case PairOutcome::ReadFailed: break;
    }
    return kExitTrouble;
}

}  // namespace

int runCompare(int argc, char** argv, RowFormat format) {
    std::vector<const char*> paths;
    bool zeroLength = false;
    bool optionsEnded = false;
    for (int index = 0; index < argc; ++index) {
        const std::string argument = argv[index];
        if (!optionsEnded && (argument == "--help" || argument == "-h")) {
            printCompareUsage(stdout);
            return kExitSame;
        }
        if (!optionsEnded && argument == "--zero-length") {
            zeroLength = true;
        } else if (!optionsEnded && argument == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && argument.size() > 1 && argument[0] == '-') {
            return usageError("unknown option " + argument);
        } else {
            paths.push_back(argv[index]);
        }
    }
    if (paths.size() < 2)
        return usageError(paths.empty() ? "FILE_A and FILE_B are missing" : "FILE_B is missing");
    if (paths.size() > 2) return usageError(std::string("unexpected argument ") + paths[2]);

    AppState state;
    PrintingResultList list(stdout, format);
    state.results = &list;
    state.checkZeroLength = zeroLength ? 1 : 0;
    if (std::strlen(paths[0]) >= kPathTextSize || std::strlen(paths[1]) >= kPathTextSize) {
        return usageError("a path is longer than 599 bytes");
    }
    state.reportNoMemory = [] { std::fputs("kestrow compare: Not enough memory\n", stderr); };
    const CompareOutcome outcome = compareFiles(state, paths[0], paths[1]);
    if (!list.finish()) {
        std::fputs("kestrow compare: the rows could not be written\n", stderr);
        return kExitTrouble;
    }
    return exitStatusFor(outcome);
}
