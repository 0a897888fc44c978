// The right-click menu as data: which items it offers, which carry a check
// mark, and the commands that only change the state. The window turns the
// tree into a popup menu; the tests read it directly.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/job/app_state.h"

enum MenuCommand : uint32_t {
    CommandAbout = 2000,
    CommandHelp = 2001,
    CommandExit = 2002,
    CommandTransparent = 2017,
    CommandOnTop = 2018,
    CommandRemoveEmptyDirs = 2019,
    CommandRecycle = 2021,
    CommandDelete = 2022,
    CommandMoveTo = 2023,
    CommandSelectMoveDir = 2024,
    CommandMatchFirst = 2050,  // "50%"; the nine percentages follow in order
    CommandMatchLast = 2058,   // "100%"
    CommandHash = 2072,
    CommandDetails = 2073,
    CommandRemove = 2074,
    CommandCheckZeroLength = 2075,
    CommandOverrideReadOnly = 2076,
    CommandSaveList = 2080,
    CommandBackToTwins = 2081,
};

enum class MenuEntryKind { Command, Separator, Submenu };

struct MenuEntry {
    MenuEntryKind kind = MenuEntryKind::Command;
    std::string text;
    uint32_t command = 0;  // Command entries only
    bool checked = false;
    std::vector<MenuEntry> submenu;  // Submenu entries only
};

// The percentage a match command stores, 0 for any other command.
uint32_t matchPercentOfCommand(uint32_t command);
// True when the match item `command` carries the check mark for `matchPercent`;
// at most one of the nine holds, none above 100.
bool matchItemChecked(uint32_t command, uint32_t matchPercent);
// "Details" and "Remove" need a right-click that came while idle, twins in the
// list and a folder search mode.
bool offersRowCommands(uint32_t runStateOnEntry, uint32_t twinCount, uint32_t searchMode);
// The "Settings" submenu changes what a job reads, so only while idle.
bool offersSettings(uint32_t runState);
// "Move to " followed by the folder, into a 600-byte text. A folder too long
// for it is shortened in the middle with "..." so that the drive and the last
// folder stay visible.
void moveToItemText(const char* moveDirectory, char* text);

// The whole menu, top to bottom. A pending right-click request (MenuRequested)
// is consumed: runState is Idle again when this returns. After such a request,
// "Save list..." is offered when the list holds rows, and "Back to the twin
// list" when Detail View keeps one (`twinListKept`).
std::vector<MenuEntry> buildContextMenuModel(AppState& state, bool twinListKept = false);

// Carries out a command that changes only settings or options; false for
// every other command.
bool applySettingCommand(AppState& state, uint32_t command);
// Takes twin row `row` (1..twinCount) off the list and lowers twinCount, so the
// closing row stays at twinCount + 1. False, changing nothing, for any other row.
bool removeTwinRow(AppState& state, int row);
// "Remove": takes every twin row of `rows` (those in 1..twinCount; others are
// passed over) off the list at once and lowers twinCount by their number, so
// the closing row stays last and its count follows. No file is touched.
// Returns how many rows went.
uint32_t removeTwinRows(AppState& state, std::vector<int> rows);
