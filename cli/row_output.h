// Rows of the report list as text: one row a line, the three cells separated
// by tabs.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "engine/result_list.h"

// A cell with tab, newline, carriage return and backslash written as \t \n \r
// \\ and every other control byte as \xNN, so that it holds no line break or
// tab; all other bytes stay as they are.
std::string escapeCell(const std::string& cell);

void printRows(const std::vector<ResultRow>& rows, FILE* out);
