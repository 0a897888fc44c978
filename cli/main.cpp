// kestrow: the engine without a window, for scripts, benchmarks and tests.
#include <cstdio>
#include <cstring>
#include <string>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "cli/commands.h"
#include "resources/version.h"

namespace {

void printUsage(FILE* out) {
    std::fputs(
        "usage: kestrow compare FILE_A FILE_B [--zero-length] [--format tsv|csv|json]\n"
        "       kestrow scan FOLDER [--mode quick|directory] [--hash on|off] [--match PERCENT]\n"
        "                    [--groups] [--min-size SIZE] [--max-size SIZE] [--exclude GLOB]...\n"
        "                    [--zero-length] [--remove-empty-dirs] [--format tsv|csv|json]\n"
        "       kestrow --version\n"
        "kestrow COMMAND --help tells more.\n",
        out);
}

// Takes "--format NAME" out of a command's arguments (up to a "--", after
// which every argument is a name) into `format`; returns an error text, empty
// when fine.
std::string takeFormatOption(int& argc, char** argv, RowFormat& format) {
    for (int index = 0; index < argc && std::strcmp(argv[index], "--") != 0; ++index) {
        if (std::strcmp(argv[index], "--format") != 0) continue;
        if (index + 1 == argc) return "--format needs a value: tsv, csv or json";
        if (!parseRowFormat(argv[index + 1], format))
            return std::string("unknown format ") + argv[index + 1] + " (use tsv, csv or json)";
        for (int rest = index; rest + 2 < argc; ++rest) argv[rest] = argv[rest + 2];
        argc -= 2;
        --index;
    }
    return "";
}

// CSV and JSON write their own line ends and the raw bytes of names, which
// Windows' text mode would change (LF to CRLF); tab-separated rows keep it.
void keepOutputBytes(RowFormat format) {
#ifdef _WIN32
    if (format != RowFormat::Tsv) _setmode(_fileno(stdout), _O_BINARY);
#else
    (void)format;
#endif
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        printUsage(stdout);
        return 0;
    }
    if (argc >= 2 && std::strcmp(argv[1], "--version") == 0) {
        std::fputs(KESTROW_NAME " " KESTROW_VERSION_TEXT "\n", stdout);
        return 0;
    }
    const bool compare = argc >= 2 && std::strcmp(argv[1], "compare") == 0;
    if (compare || (argc >= 2 && std::strcmp(argv[1], "scan") == 0)) {
        int commandArgc = argc - 2;
        RowFormat format = RowFormat::Tsv;
        const std::string problem = takeFormatOption(commandArgc, argv + 2, format);
        if (!problem.empty()) {
            std::fprintf(stderr, "kestrow %s: %s\n", argv[1], problem.c_str());
            return 2;
        }
        keepOutputBytes(format);
        return compare ? runCompare(commandArgc, argv + 2, format) : runScan(commandArgc, argv + 2, format);
    }
    std::fputs(argc < 2 ? "kestrow: no command given\n" : "kestrow: unknown command\n", stderr);
    printUsage(stderr);
    return 2;
}
