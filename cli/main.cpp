// kestrow: the engine without a window, for scripts, benchmarks and tests.
#include <cstdio>
#include <cstring>

#include "cli/commands.h"

namespace {

void printUsage(FILE* out) {
    std::fputs(
        "usage: kestrow compare FILE_A FILE_B [--zero-length]\n"
        "       kestrow scan FOLDER [--mode quick|directory] [--hash on|off] [--match PERCENT]\n"
        "                    [--zero-length] [--remove-empty-dirs]\n",
        out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        printUsage(stdout);
        return 0;
    }
    if (argc >= 2 && std::strcmp(argv[1], "compare") == 0) return runCompare(argc - 2, argv + 2);
    if (argc >= 2 && std::strcmp(argv[1], "scan") == 0) return runScan(argc - 2, argv + 2);
    std::fputs(argc < 2 ? "kestrow: no command given\n" : "kestrow: unknown command\n", stderr);
    printUsage(stderr);
    return 2;
}
