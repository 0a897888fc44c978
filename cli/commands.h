// The command line's two commands. Each returns the process exit status.
#pragma once

#include "engine/rows/row_format.h"

int runCompare(int argc, char** argv, RowFormat format);
int runScan(int argc, char** argv, RowFormat format);
