// The command line's two commands. Each returns the process exit status.
#pragma once

int runCompare(int argc, char** argv);
int runScan(int argc, char** argv);
