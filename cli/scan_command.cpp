// kestrow scan FOLDER [options]: the rows of a duplicate search, with a
// progress line on a terminal and Ctrl+C acting as Abort.
#include <algorithm>
#include <atomic>
#include <cctype>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

#include "cli/commands.h"
#include "cli/group_output.h"
#include "cli/row_output.h"
#include "engine/base/fs.h"
#include "engine/base/text_cut.h"
#include "engine/base/worker_thread.h"
#include "engine/search/duplicate_search.h"

namespace {

constexpr int kExitEnd = 0;
constexpr int kExitAborted = 1;
constexpr int kExitTrouble = 2;
constexpr std::size_t kProgressWidth = 79;

struct ScanOptions {
    const char* folder = nullptr;
    SearchOptions search;
    bool zeroLength = false;
    bool removeEmptyDirs = false;
    bool groups = false;
    bool matchGiven = false;
    // For benchmarks: the route and each stage's time and bytes, to stderr.
    bool explain = false;
};

volatile std::sig_atomic_t interrupted = 0;
// The running search, which Ctrl+C asks to stop at once: this thread may be held
// sending rows on to an output that is not read, and the search must not run on
// to its end meanwhile. Its two fields are lock-free atomics, safe to store here.
AppState* interruptedSearch = nullptr;
static_assert(std::atomic<uint32_t>::is_always_lock_free, "a signal handler may store the run fields");

void onInterrupt(int) {
    interrupted = 1;
    if (interruptedSearch != nullptr) {
        interruptedSearch->runState.store(EndReached);
        interruptedSearch->runControl.store(AbortRequested);
    }
    std::signal(SIGINT, SIG_DFL);  // a second Ctrl+C ends the program at once
}

constexpr const char* kScanSynopsis =
    "usage: kestrow scan FOLDER [--mode quick|directory] [--hash on|off] [--match PERCENT]\n"
    "                    [--groups] [--min-size SIZE] [--max-size SIZE] [--exclude GLOB]...\n"
    "                    [--zero-length] [--remove-empty-dirs] [--format tsv|csv|json]\n"
    "                    [--explain] [--route listing|memory|plain]\n";

void printScanUsage(FILE* out) {
    std::fputs(kScanSynopsis, out);
    std::fputs(
        "Lists every pair of files below FOLDER whose share of equal bytes reaches PERCENT.\n"
        "  --mode quick       only files of equal size are compared (default)\n"
        "  --mode directory   every file is compared with every other\n"
        "  --hash on|off      quick mode: compare only files with equal checksums (default on)\n"
        "  --match PERCENT    1 to 100 (default 95)\n"
        "  --groups           each set of byte-identical files once instead of its pairs, when the\n"
        "                     search ends: sets in the walk order of their first files; two names of\n"
        "                     one file (a hard link) are never twins, so a set names a file once;\n"
        "                     means --match 100 and refuses a lower one; any mode gives the same sets\n"
        "  --min-size SIZE    leave out files smaller than SIZE bytes (K, M, G: 1024, 1024^2, 1024^3)\n"
        "  --max-size SIZE    leave out files larger than SIZE bytes\n"
        "  --exclude GLOB     leave out the files and folders (with all below them) whose path below\n"
        "                     FOLDER, names joined by /, matches GLOB: * and ? within one name, ** across\n"
        "                     folders (**/ also none), a trailing / folders only; may be repeated\n"
        "                     (what these three leave out counts nowhere, as if not in the tree)\n"
        "  --zero-length      two empty files count as equal\n"
        "  --remove-empty-dirs  remove folders that hold no file while walking\n"
        "For benchmarks (off by default; the rows are the same either way):\n"
        "  --explain          print the route taken and why, and each stage's time and bytes\n"
        "                     read, to stderr\n"
        "  --route listing|memory|plain  directory mode: decide the pairs by the block listing,\n"
        "                     by comparing files held in memory, or by the plain pass over every\n"
        "                     pair; a route that cannot serve gives way as the cheaper choice would\n",
        out);
    std::fputs(kRowFormatUsage, out);
    std::fputs(
        "      rows: {\"row\":\"start\",\"files\":N}, {\"row\":\"twin\",\"path_a\":...,\"path_b\":...,\n"
        "            \"percent\":N}, {\"row\":\"end\" or \"aborted\",\"twins\":N}, {\"row\":\"indexing\"}\n"
        "      sets (--groups): tsv each set's paths one a line, a blank line after the opening row and\n"
        "            after each set; csv a record of set number, size and path for each file; json\n"
        "            {\"row\":\"group\",\"size\":N,\"paths\":[...]} (\"paths_hex\" if one is not UTF-8)\n"
        "Exit status: 0 ran to its end, 1 aborted (Ctrl+C), 2 trouble.\n",
        out);
}

int usageError(const std::string& problem) {
    // The problem and the synopsis; the whole help would bury the one line that matters.
    std::fprintf(stderr, "kestrow scan: %s\n%skestrow scan --help tells every option.\n", problem.c_str(),
                 kScanSynopsis);
    return kExitTrouble;
}

// Bytes as digits with an optional K, M or G (1024, 1024^2, 1024^3 bytes).
bool parseSize(const std::string& text, uint64_t& bytes) {
    const std::size_t digits = std::min(text.find_first_not_of("0123456789"), text.size());
    static const char kUnits[] = "KMG";
    // An argument holds no NUL, so strchr finds a letter of kUnits or nothing.
    const char* unit = digits + 1 == text.size()
                           ? std::strchr(kUnits, std::toupper(static_cast<unsigned char>(text.back())))
                           : nullptr;
    if (digits == 0 || (digits < text.size() && unit == nullptr)) return false;
    const unsigned shift = unit == nullptr ? 0 : 10 * static_cast<unsigned>(unit - kUnits + 1);
    bytes = 0;
    for (std::size_t at = 0; at < digits; ++at) {
        const uint64_t digit = static_cast<uint64_t>(text[at] - '0');
        if (bytes > (UINT64_MAX - digit) / 10) return false;
        bytes = bytes * 10 + digit;
    }
    if (bytes > (UINT64_MAX >> shift)) return false;
    bytes <<= shift;
    return true;
}

bool parsePercent(const std::string& text, uint32_t& percent) {
    if (text.empty() || text.size() > 3 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    percent = static_cast<uint32_t>(std::stoul(text));
    return percent >= 1 && percent <= 100;
}

// Reads the value of a --min-size, --max-size or --exclude; returns an error text, empty when fine.
std::string takeFilterValue(const std::string& option, const std::string& value, FileFilter& filter) {
    if (option == "--exclude") {
        if (value.empty()) return "--exclude takes a glob that is not empty";
        filter.excludes.push_back(value);
        return "";
    }
    uint64_t bytes = 0;
    if (!parseSize(value, bytes))
        return option + " takes a number of bytes, optionally followed by K, M or G (not " + value + ")";
    (option == "--min-size" ? filter.minSize : filter.maxSize) = bytes;
    return "";
}

bool isFilterOption(const std::string& argument) {
    return argument == "--min-size" || argument == "--max-size" || argument == "--exclude";
}

// Reads the arguments into `options`; returns an error text, empty when fine.
std::string parseScanArguments(int argc, char** argv, ScanOptions& options) {
    for (int index = 0; index < argc; ++index) {
        const std::string argument = argv[index];
        const bool takesValue = argument == "--mode" || argument == "--hash" || argument == "--match" ||
                                argument == "--route" || isFilterOption(argument);
        if (takesValue && index + 1 == argc) return argument + " needs a value";
        const std::string value = takesValue ? argv[++index] : "";
        if (argument == "--mode" && (value == "quick" || value == "directory")) {
            options.search.mode = value == "quick" ? QuickDirMode : DirectoryMode;
        } else if (argument == "--hash" && (value == "on" || value == "off")) {
            options.search.useHash = value == "on";
        } else if (argument == "--route" && (value == "listing" || value == "memory" || value == "plain")) {
            options.search.directoryRoute = value == "listing"  ? ListingRoute
                                            : value == "memory" ? MemoryRoute
                                                                : PlainRoute;
        } else if (argument == "--match") {
            if (!parsePercent(value, options.search.matchPercent))
                return "--match takes a whole number from 1 to 100";
            options.matchGiven = true;
        } else if (isFilterOption(argument)) {
            const std::string problem = takeFilterValue(argument, value, options.search.filter);
            if (!problem.empty()) return problem;
        } else if (takesValue) {
            return "unknown value " + value + " for " + argument;
        } else if (argument == "--zero-length") {
            options.zeroLength = true;
        } else if (argument == "--remove-empty-dirs") {
            options.removeEmptyDirs = true;
        } else if (argument == "--groups") {
            options.groups = true;
        } else if (argument == "--explain") {
            options.explain = true;
        } else if (argument.size() > 1 && argument[0] == '-') {
            return "unknown option " + argument;
        } else if (options.folder != nullptr) {
            return "unexpected argument " + argument;
        } else {
            options.folder = argv[index];
        }
    }
    if (options.search.filter.minSize > options.search.filter.maxSize)
        return "--min-size is above --max-size: no file would be left";
    if (options.groups && options.matchGiven && options.search.matchPercent != 100)
        return "--groups lists sets of byte-identical files: it takes --match 100 (the default with it)";
    if (options.groups) options.search.matchPercent = 100;
    return options.folder == nullptr ? "FOLDER is missing" : "";
}

void showProgress(AppState& state) {
    // A line longer than the width is cut on purpose; a failed format shows nothing.
    char line[kProgressWidth + 1];
    int written;
    if (state.runState.load() == Indexing) {
        PathText current;
        state.currentFileText.read(current);
        written = std::snprintf(line, sizeof line, "%u files scanned. Current File: %s",
                                state.indexCount.load(), current);
    } else {
        written = std::snprintf(line, sizeof line, "%u%% of files done", state.progressPercent.load());
    }
    if (written < 0) line[0] = '\0';
    line[wholeCharactersLength(line, std::strlen(line))] = '\0';  // never half a character
    std::fprintf(stderr, "\r%-*s", static_cast<int>(kProgressWidth), line);
    std::fflush(stderr);
}

// Runs the search on its own thread, the way Start does, while this thread
// shows progress, sends the rows printed so far on and turns Ctrl+C into Abort.
SearchOutcome runSearch(AppState& state, PrintingResultList& list, const char* folder,
                        const SearchOptions& options) {
    const bool terminal = isatty(fileno(stderr)) != 0;
    state.runState.store(Comparing);
    state.progressPercent.store(0);
    state.twinCount.store(0);
    interruptedSearch = &state;
    std::signal(SIGINT, onInterrupt);
    std::atomic<bool> finished{false};
    // Wakes this thread the moment the search ends, rather than at the end of a nap.
    Signal ended;
    SearchOutcome outcome;
    WorkerThread search;
    if (!search.start([&state, &finished, &ended, &outcome, folder, &options] {
            outcome = searchDuplicates(state, folder, options);
            finished.store(true);
            ended.notify();
        })) {
        // No second thread to be had: search here, without progress.
        outcome = searchDuplicates(state, folder, options);
        finished.store(true);
    }
    // Naps of 10 ms between looks at Ctrl+C; progress every 100 ms.
    bool abortSent = false;
    for (uint32_t nap = 1; !finished.load(); ++nap) {
        ended.wait(10);
        if (interrupted && !abortSent) {
            requestAbort(state);
            abortSent = true;
        }
        if (nap % 10 == 0) list.flush();
        if (terminal && nap % 10 == 0 && !finished.load()) showProgress(state);
    }
    search.join();
    std::signal(SIGINT, SIG_DFL);
    interruptedSearch = nullptr;
    if (terminal) std::fprintf(stderr, "\r%-*s\r", static_cast<int>(kProgressWidth), "");
    return outcome;
}

// --explain: the route and each stage, one line each.
void explainSearch(const SearchReport& report) {
    std::fprintf(stderr, "route: %s (%s)\n", report.route, report.reason);
    if (report.fallback[0] != '\0') std::fprintf(stderr, "  %s\n", report.fallback);
    for (int stage = 0; stage < report.stageCount; ++stage) {
        const StageReport& done = report.stages[stage];
        std::fprintf(stderr, "  %-13s %9.3f s %15llu bytes read\n", done.name, done.seconds,
                     static_cast<unsigned long long>(done.bytesRead));
    }
}

int exitStatusFor(const SearchOutcome& outcome) {
    switch (outcome.end) {
        case JobEnd::Completed: return kExitEnd;
        case JobEnd::Aborted: return kExitAborted;
        case JobEnd::NoMemory: break;
    }
    return kExitTrouble;
}

}  // namespace

int runScan(int argc, char** argv, RowFormat format) {
    for (int index = 0; index < argc; ++index) {
        if (std::strcmp(argv[index], "--help") == 0 || std::strcmp(argv[index], "-h") == 0) {
            printScanUsage(stdout);
            return kExitEnd;
        }
    }
    ScanOptions options;
    const std::string problem = parseScanArguments(argc, argv, options);
    if (!problem.empty()) return usageError(problem);
    if (!fs::isFolder(options.folder)) {
        std::fprintf(stderr, "kestrow scan: %s is not a folder\n", options.folder);
        return kExitTrouble;
    }

    // Rows go out in large writes, whatever stdout is (a device such as NUL
    // would otherwise take them a row at a time); the search is flushed every
    // 100 ms, so rows still show as they come. The buffer is our own: given
    // none, the C library on Linux keeps its own size (4 KiB to a device).
    static char rowBuffer[1 << 16];
    std::setvbuf(stdout, rowBuffer, _IOFBF, sizeof rowBuffer);
    AppState state;
    PrintingResultList pairs(stdout, format);
    GroupingResultList groups(stdout, format);
    PrintingResultList& list = options.groups ? groups : pairs;
    state.results = &list;
    if (std::strlen(options.folder) >= kPathTextSize) return usageError("FOLDER is longer than 599 bytes");
    state.checkZeroLength.store(options.zeroLength ? 1 : 0);
    state.removeEmptyDirs.store(options.removeEmptyDirs ? 1 : 0);
    state.reportNoMemory = [] { std::fputs("kestrow scan: Not enough memory\n", stderr); };
    const SearchOutcome outcome = runSearch(state, list, options.folder, options.search);
    if (options.explain) explainSearch(outcome.report);
    if (!list.finish()) {
        std::fputs("kestrow scan: the rows could not be written\n", stderr);
        return kExitTrouble;
    }
    return exitStatusFor(outcome);
}
