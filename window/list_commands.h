// What the user does with the list as a whole: choose all rows, copy the
// chosen rows, save the list to a file, take chosen pairs off it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "engine/rows/row_format.h"

// Selects every row (Ctrl+A).
void selectAllRows();
// The chosen rows as the command line writes them in `format`, with the line
// ends kestrow-cli.exe writes on Windows (tsv in text mode: CRLF).
std::string chosenRowsText(RowFormat format);
// Puts the chosen rows on the clipboard as tab-separated text (Ctrl+C).
void copyChosenRows(HWND window);
// "Remove": the chosen twin rows leave the list (never their files).
void removeChosenPairs();
// The format a saved list is written in: the one the name's extension names
// (.tsv, .csv, .json, in any case), else the one of the chosen file type
// (1 tsv, 2 csv, 3 json).
RowFormat saveFormatOf(const char* fileName, DWORD filterIndex);
// Writes every row of the list to `fileName` in `format`, byte for byte as
// kestrow-cli.exe scan writes the same rows; false when the file could not be
// written (a partly written file is removed).
bool writeListFile(const char* fileName, RowFormat format);
// "Save list..." (Ctrl+S): asks for a file and writes the list to it; says so
// when it could not.
void saveListAs(HWND window);
