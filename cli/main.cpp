// kestrow: the command-line front end. Placeholder until commands exist.
#include <cstdio>

int main() {
    std::puts("usage: kestrow compare FILE_A FILE_B | kestrow scan FOLDER");
    return 2;
}
