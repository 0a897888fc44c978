#include "window/menu_model.h"

#include <algorithm>
#include <cstring>

#include "engine/base/text_cut.h"
#include "engine/rows/result_list.h"

namespace {

const uint32_t kMatchValues[] = {50, 75, 90, 95, 96, 97, 98, 99, 100};
// Lowest percentage that checks each item; the item's own value is the highest.
const uint32_t kMatchLowest[] = {0, 51, 76, 91, 96, 97, 98, 99, 100};
const char* const kMatchTexts[] = {"50%", "75%", "90%", "95%", "96%", "97%", "98%", "99%", "100%"};
constexpr std::size_t kMatchCount = sizeof(kMatchValues) / sizeof(kMatchValues[0]);

const char kMoveToPrefix[] = "Move to ";
const char kEllipsis[] = "...";

MenuEntry command(const char* text, uint32_t id, bool checked = false) {
    MenuEntry entry;
    entry.text = text;
    entry.command = id;
    entry.checked = checked;
    return entry;
}

MenuEntry separator() {
    MenuEntry entry;
    entry.kind = MenuEntryKind::Separator;
    return entry;
}

MenuEntry submenu(const char* text, std::vector<MenuEntry> entries) {
    MenuEntry entry;
    entry.kind = MenuEntryKind::Submenu;
    entry.text = text;
    entry.submenu = std::move(entries);
    return entry;
}

std::vector<MenuEntry> matchPercentMenu(uint32_t matchPercent) {
    std::vector<MenuEntry> entries;
    for (std::size_t i = 0; i < kMatchCount; ++i) {
        const uint32_t id = CommandMatchFirst + static_cast<uint32_t>(i);
        entries.push_back(command(kMatchTexts[i], id, matchItemChecked(id, matchPercent)));
    }
    return entries;
}

std::vector<MenuEntry> batchDeleteModeMenu(const Settings& settings) {
    char moveText[kPathTextSize];
    moveToItemText(settings.moveDirectory, moveText);
    return {
        command("Recycle", CommandRecycle, settings.batchDeleteMode == RecycleMode),
        command("Delete", CommandDelete, settings.batchDeleteMode == DeleteMode),
        command(moveText, CommandMoveTo, settings.batchDeleteMode == MoveToMode),
        separator(),
        command("Select Move Dir", CommandSelectMoveDir),
    };
}

std::vector<MenuEntry> settingsMenu(const AppState& state) {
    const Settings& settings = state.settings;
    return {
        submenu("Batch Delete Mode", batchDeleteModeMenu(settings)),
        submenu("Match Percentage", matchPercentMenu(settings.matchPercent)),
        command("Hash", CommandHash, settings.useHash == 1),
        command("Override Read Only", CommandOverrideReadOnly, settings.overrideReadOnly == 1),
        command("Remove ALL Empty Directories", CommandRemoveEmptyDirs, state.removeEmptyDirs == 1),
        command("Check zero length files", CommandCheckZeroLength, state.checkZeroLength == 1),
    };
}

// The closing row, at twinCount + 1, says how many twins the list holds; a
// row kept as a record keeps it, so every output still knows it as the end.
void showTwinCount(AppState& state) {
    const int closing = static_cast<int>(state.twinCount) + 1;
    if (state.results->setClosingCount(closing, state.twinCount)) return;
    PathText text;
    state.results->getCell(closing, 0, text);
    if (std::strcmp(text, "End") != 0 && std::strcmp(text, "Aborted") != 0) return;
    formatDecimal(static_cast<int>(state.twinCount), text);
    std::strcat(text, " twins found");
    state.results->setCell(closing, 1, text);
}

uint32_t toggled(uint32_t flag) {
    return flag == 0 ? 1 : 0;
}

}  // namespace

uint32_t matchPercentOfCommand(uint32_t id) {
    if (id < CommandMatchFirst || id > CommandMatchLast) return 0;
    return kMatchValues[id - CommandMatchFirst];
}

bool matchItemChecked(uint32_t id, uint32_t matchPercent) {
    const uint32_t highest = matchPercentOfCommand(id);
    if (highest == 0) return false;
    return matchPercent >= kMatchLowest[id - CommandMatchFirst] && matchPercent <= highest;
}

bool offersRowCommands(uint32_t runStateOnEntry, uint32_t twinCount, uint32_t searchMode) {
    return runStateOnEntry == MenuRequested && twinCount > 0 && searchMode != FileMode;
}

bool offersSettings(uint32_t runState) {
    return runState == Idle;
}

void moveToItemText(const char* moveDirectory, char* text) {
    constexpr std::size_t prefixLength = sizeof(kMoveToPrefix) - 1;
    constexpr std::size_t ellipsisLength = sizeof(kEllipsis) - 1;
    constexpr std::size_t room = kPathTextSize - 1 - prefixLength;
    // A folder read from the settings file may lack its NUL within 600 bytes.
    const std::size_t length = strnlen(moveDirectory, kPathTextSize);
    std::memcpy(text, kMoveToPrefix, prefixLength);
    char* out = text + prefixLength;
    if (length <= room) {
        std::memcpy(out, moveDirectory, length);
        out[length] = '\0';
        return;
    }
    // The last folder, with the separator before it: from the last separator
    // that is not the final character.
    const std::size_t separator = lastSeparator(moveDirectory, length - 1, '\\');
    const std::size_t tailStart = separator == length - 1 ? 0 : separator;
    // The drive: "C:\" or "\\server\", up to the first separator from the third character on.
    std::size_t driveLength = 2;
    while (driveLength < length && moveDirectory[driveLength] != '\\') ++driveLength;
    driveLength = driveLength + 1 < room / 2 ? driveLength + 1 : room / 2;
    std::size_t tailLength = length - tailStart;
    std::size_t headLength = driveLength;
    if (driveLength + ellipsisLength + tailLength <= room) {
        headLength = room - ellipsisLength - tailLength;
    } else {
        tailLength = room - ellipsisLength - driveLength;
    }
    // Both cuts fall between characters, so the item may come out a little shorter.
    headLength = cutLength(moveDirectory, length, headLength);
    tailLength = length - boundaryFrom(moveDirectory, length, length - tailLength);
    std::memcpy(out, moveDirectory, headLength);
    std::memcpy(out + headLength, kEllipsis, ellipsisLength);
    std::memcpy(out + headLength + ellipsisLength, moveDirectory + length - tailLength, tailLength);
    out[headLength + ellipsisLength + tailLength] = '\0';
}

std::vector<MenuEntry> buildContextMenuModel(AppState& state, bool twinListKept) {
    const Settings& settings = state.settings;
    std::vector<MenuEntry> menu{command("About", CommandAbout), command("Help", CommandHelp)};
    uint32_t expected = MenuRequested;
    const bool idleClick = state.runState.compare_exchange_strong(expected, Idle);
    std::vector<MenuEntry> listCommands;
    if (idleClick && offersRowCommands(MenuRequested, state.twinCount, settings.searchMode)) {
        listCommands.push_back(command("Details", CommandDetails));
        listCommands.push_back(command("Remove", CommandRemove));
    }
    PathText first;
    if (idleClick && state.results != nullptr && state.results->getCell(0, 0, first) > 0)
        listCommands.push_back(command("Save list...\tCtrl+S", CommandSaveList));
    if (idleClick && twinListKept)
        listCommands.push_back(command("Back to the twin list\tAlt+Left", CommandBackToTwins));
    if (!listCommands.empty()) {
        menu.push_back(separator());
        menu.insert(menu.end(), listCommands.begin(), listCommands.end());
    }
    menu.push_back(separator());
    menu.push_back(command("Transparent", CommandTransparent, settings.transparent == 1));
    menu.push_back(command("On Top", CommandOnTop, settings.onTop == 1));
    if (offersSettings(state.runState)) menu.push_back(submenu("Settings", settingsMenu(state)));
    menu.push_back(separator());
    menu.push_back(command("Exit", CommandExit));
    return menu;
}

bool applySettingCommand(AppState& state, uint32_t id) {
    Settings& settings = state.settings;
    if (matchPercentOfCommand(id) != 0) {
        settings.matchPercent = matchPercentOfCommand(id);
        return true;
    }
    switch (id) {
        case CommandRemoveEmptyDirs: state.removeEmptyDirs = toggled(state.removeEmptyDirs); return true;
        case CommandCheckZeroLength: state.checkZeroLength = toggled(state.checkZeroLength); return true;
        case CommandHash: settings.useHash = toggled(settings.useHash); return true;
        case CommandOverrideReadOnly:
            settings.overrideReadOnly = toggled(settings.overrideReadOnly);
            return true;
        case CommandRecycle: settings.batchDeleteMode = RecycleMode; return true;
        case CommandDelete: settings.batchDeleteMode = DeleteMode; return true;
        case CommandMoveTo: settings.batchDeleteMode = MoveToMode; return true;
        default: return false;
    }
}

bool removeTwinRow(AppState& state, int row) {
    const uint32_t twins = state.twinCount;
    if (row < 1 || static_cast<uint32_t>(row) > twins) return false;
    state.results->deleteRow(row);
    state.twinCount = twins - 1;
    showTwinCount(state);
    return true;
}

uint32_t removeTwinRows(AppState& state, std::vector<int> rows) {
    const uint32_t twins = state.twinCount;
    rows.erase(std::remove_if(rows.begin(), rows.end(),
                              [twins](int row) { return row < 1 || static_cast<uint32_t>(row) > twins; }),
               rows.end());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    if (rows.empty()) return 0;
    state.results->deleteRows(rows);
    const uint32_t removed = static_cast<uint32_t>(rows.size());
    state.twinCount = twins - removed;
    showTwinCount(state);
    return removed;
}
