// The program's folders and its settings file "dKest.dat".
#pragma once

#include <cstdint>

// Sets gui().programDirectory and gui().dataDirectory (both end with "\" or
// are empty). "DefSet.txt" beside the program moves the data to the per-user
// folder, except when the program runs from a removable drive.
void locateFolders();
// Loads app().settings from the data directory. Returns 1 (first run) when
// there is no sound file and the defaults were applied, 0 when it was read.
uint32_t loadSettings();
// Stores the main window's placement and writes the whole file. False when
// the file could not be created or not all of it was written.
bool saveSettings();
