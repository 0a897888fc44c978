#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/base/text_cut.h"
#include "engine/rows/result_store.h"
#include "window/menu_model.h"

namespace {

const MenuEntry* findEntry(const std::vector<MenuEntry>& entries, const std::string& text) {
    for (const MenuEntry& entry : entries) {
        if (entry.text == text) return &entry;
        if (const MenuEntry* inner = findEntry(entry.submenu, text)) return inner;
    }
    return nullptr;
}

std::vector<std::string> checkedMatchItems(uint32_t matchPercent) {
    AppState state;
    state.settings.matchPercent = matchPercent;
    const std::vector<MenuEntry> menu = buildContextMenuModel(state);
    std::vector<std::string> checked;
    for (const MenuEntry& entry : findEntry(menu, "Match Percentage")->submenu) {
        if (entry.checked) checked.push_back(entry.text);
    }
    return checked;
}

std::string topLevelTexts(const std::vector<MenuEntry>& menu) {
    std::string texts;
    for (const MenuEntry& entry : menu)
        texts += (entry.kind == MenuEntryKind::Separator ? "-" : entry.text) + "|";
    return texts;
}

}  // namespace

TEST(MatchPercentageMenu, ChecksTheItemWhoseRangeHoldsTheValue) {
    EXPECT_EQ(checkedMatchItems(93), std::vector<std::string>{"95%"});
    EXPECT_EQ(checkedMatchItems(0), std::vector<std::string>{"50%"});
    EXPECT_TRUE(checkedMatchItems(120).empty());
    EXPECT_TRUE(checkedMatchItems(0xFFFFFFFFu).empty());  // a huge value is not read as negative
    EXPECT_EQ(checkedMatchItems(50), std::vector<std::string>{"50%"});
    EXPECT_EQ(checkedMatchItems(51), std::vector<std::string>{"75%"});
    EXPECT_EQ(checkedMatchItems(76), std::vector<std::string>{"90%"});
    EXPECT_EQ(checkedMatchItems(91), std::vector<std::string>{"95%"});
    EXPECT_EQ(checkedMatchItems(100), std::vector<std::string>{"100%"});
    // Every value up to 100 checks exactly one item: the smallest percentage not below it.
    for (uint32_t value = 0; value <= 100; ++value) {
        const std::vector<std::string> checked = checkedMatchItems(value);
        ASSERT_EQ(checked.size(), 1u) << value;
        EXPECT_GE(std::stoul(checked[0]), value);
    }
}

TEST(MatchPercentageMenu, ChoosingAnItemStoresOneOfTheNineValues) {
    const uint32_t expected[] = {50, 75, 90, 95, 96, 97, 98, 99, 100};
    AppState state;
    state.settings.matchPercent = 93;
    for (uint32_t i = 0; i < 9; ++i) {
        EXPECT_TRUE(applySettingCommand(state, CommandMatchFirst + i));
        EXPECT_EQ(state.settings.matchPercent, expected[i]);
        EXPECT_EQ(checkedMatchItems(state.settings.matchPercent).size(), 1u);
    }
    EXPECT_EQ(matchPercentOfCommand(2049), 0u);
    EXPECT_EQ(matchPercentOfCommand(2059), 0u);
}

TEST(ContextMenuOffer, RowCommandsOnlyAfterAnIdleRightClickOnAFolderSearchWithTwins) {
    AppState state;
    state.settings.searchMode = QuickDirMode;
    state.twinCount = 2;
    state.runState = MenuRequested;
    EXPECT_EQ(topLevelTexts(buildContextMenuModel(state)),
              "About|Help|-|Details|Remove|-|Transparent|On Top|Settings|-|Exit|");
    EXPECT_EQ(state.runState, Idle);  // the request is consumed

    // Asked again without a fresh right-click request: no row commands.
    EXPECT_EQ(findEntry(buildContextMenuModel(state), "Details"), nullptr);

    state.runState = MenuRequested;
    state.settings.searchMode = FileMode;  // after a "File" comparison
    EXPECT_EQ(topLevelTexts(buildContextMenuModel(state)),
              "About|Help|-|Transparent|On Top|Settings|-|Exit|");

    state.runState = MenuRequested;
    state.settings.searchMode = DirectoryMode;
    state.twinCount = 0;  // a search that found no twins
    EXPECT_EQ(findEntry(buildContextMenuModel(state), "Remove"), nullptr);
    EXPECT_EQ(state.runState, Idle);
}

TEST(ContextMenuOffer, SaveListWithRowsAndTheWayBackOnlyWhileDetailViewKeepsAList) {
    AppState state;
    ResultStore rows;
    state.results = &rows;
    state.settings.searchMode = FileMode;
    state.runState = MenuRequested;
    EXPECT_EQ(topLevelTexts(buildContextMenuModel(state)),
              "About|Help|-|Transparent|On Top|Settings|-|Exit|");
    rows.insertRow(0, "Start");
    state.runState = MenuRequested;
    EXPECT_EQ(
        topLevelTexts(buildContextMenuModel(state, true)),
        "About|Help|-|Save list...\tCtrl+S|Back to the twin list\tAlt+Left|-|Transparent|On Top|Settings|-|"
        "Exit|");
    state.runState = Comparing;  // while a job runs neither is offered
    EXPECT_EQ(topLevelTexts(buildContextMenuModel(state, true)), "About|Help|-|Transparent|On Top|-|Exit|");
}

TEST(ContextMenuOffer, WhileAJobRunsNeitherRowCommandsNorSettings) {
    AppState state;
    state.settings.searchMode = DirectoryMode;
    state.twinCount = 3;
    state.runState = Pairing;
    EXPECT_EQ(topLevelTexts(buildContextMenuModel(state)), "About|Help|-|Transparent|On Top|-|Exit|");
    EXPECT_EQ(state.runState, Pairing);  // a running job's state is left alone
}

TEST(ContextMenuChecks, EachToggleShowsInItsCheckMark) {
    const char* const toggles[] = {"Hash", "Override Read Only", "Remove ALL Empty Directories",
                                   "Check zero length files"};
    const uint32_t commands[] = {CommandHash, CommandOverrideReadOnly, CommandRemoveEmptyDirs,
                                 CommandCheckZeroLength};
    AppState state;
    for (int i = 0; i < 4; ++i) {
        EXPECT_FALSE(findEntry(buildContextMenuModel(state), toggles[i])->checked) << toggles[i];
        EXPECT_TRUE(applySettingCommand(state, commands[i]));
        EXPECT_TRUE(findEntry(buildContextMenuModel(state), toggles[i])->checked) << toggles[i];
        EXPECT_TRUE(applySettingCommand(state, commands[i]));
        EXPECT_FALSE(findEntry(buildContextMenuModel(state), toggles[i])->checked) << toggles[i];
    }
    state.settings.useHash = 7;  // a stray value from the settings file
    EXPECT_FALSE(findEntry(buildContextMenuModel(state), "Hash")->checked);
    applySettingCommand(state, CommandHash);
    EXPECT_EQ(state.settings.useHash, 0u);

    state.settings.onTop = 1;
    state.settings.transparent = 1;
    const auto menu = buildContextMenuModel(state);
    EXPECT_TRUE(findEntry(menu, "On Top")->checked);
    EXPECT_TRUE(findEntry(menu, "Transparent")->checked);
    EXPECT_FALSE(applySettingCommand(state, CommandOnTop));  // window options belong to the window
}

TEST(ContextMenuChecks, BatchDeleteModeMarksTheChosenMode) {
    AppState state;
    std::strcpy(state.settings.moveDirectory, "D:\\Attic");
    const uint32_t commands[] = {CommandRecycle, CommandDelete, CommandMoveTo};
    const char* const texts[] = {"Recycle", "Delete", "Move to D:\\Attic"};
    for (int chosen = 0; chosen < 3; ++chosen) {
        EXPECT_TRUE(applySettingCommand(state, commands[chosen]));
        EXPECT_EQ(state.settings.batchDeleteMode, static_cast<uint32_t>(chosen));
        const auto menu = buildContextMenuModel(state);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(findEntry(menu, texts[i])->checked, i == chosen) << texts[i];
        EXPECT_FALSE(findEntry(menu, "Select Move Dir")->checked);
    }
    // "Select Move Dir" needs the folder picker: not a plain setting.
    EXPECT_FALSE(applySettingCommand(state, CommandSelectMoveDir));
}

TEST(MoveToText, ShowsTheFolderOrShortensItInTheMiddle) {
    char text[kPathTextSize];
    moveToItemText("", text);
    EXPECT_STREQ(text, "Move to ");

    std::string fits = "C:\\" + std::string(588, 'f');  // 591 characters: exactly fills the text
    moveToItemText(fits.c_str(), text);
    EXPECT_EQ(std::string(text), "Move to " + fits);

    std::string longFolder =
        "C:\\" + std::string(290, 'a') + "\\" + std::string(290, 'b') + "\\Last Folder\\";
    moveToItemText(longFolder.c_str(), text);
    std::string shown = text;
    EXPECT_EQ(shown.size(), kPathTextSize - 1);
    EXPECT_EQ(shown.rfind("Move to C:\\aaa", 0), 0u);
    EXPECT_NE(shown.find("..."), std::string::npos);
    EXPECT_EQ(shown.substr(shown.size() - 13), "\\Last Folder\\");

    // A last folder too long to show whole still keeps the drive.
    std::string hugeLast = "\\\\server\\" + std::string(588, 'z');
    moveToItemText(hugeLast.c_str(), text);
    shown = text;
    EXPECT_EQ(shown.size(), kPathTextSize - 1);
    EXPECT_EQ(shown.rfind("Move to \\\\server\\...zzz", 0), 0u);

    // A folder from a damaged settings file without its NUL is read no further than 600 bytes.
    char unterminated[kPathTextSize + 8];
    std::memset(unterminated, 'q', sizeof(unterminated));
    unterminated[2] = '\\';
    unterminated[kPathTextSize + 7] = '\0';
    moveToItemText(unterminated, text);
    EXPECT_EQ(std::strlen(text), kPathTextSize - 1);
}

// True when every multi-byte character of `text` is whole.
bool wholeUtf8(const std::string& text) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t width = utf8CharacterBytes(static_cast<unsigned char>(text[at]));
        if ((static_cast<unsigned char>(text[at]) & 0xC0) == 0x80 || at + width > text.size()) return false;
        for (std::size_t next = 1; next < width; ++next)
            if ((static_cast<unsigned char>(text[at + next]) & 0xC0) != 0x80) return false;
        at += width;
    }
    return true;
}

std::string repeated(const std::string& piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += piece;
    return text;
}

TEST(MoveToText, ShortensANonLatinFolderBetweenCharacters) {
    char text[kPathTextSize];
    // 597 bytes: the head would end inside an "é" (two bytes).
    const std::string accented =
        "C:\\" + repeated("\xC3\xA9", 152) + "\\" + repeated("\xE6\x97\xA5", 96) + "\\";
    moveToItemText(accented.c_str(), text);
    std::string shown = text;
    EXPECT_TRUE(wholeUtf8(shown));
    EXPECT_NE(shown.find("..."), std::string::npos);
    EXPECT_EQ(shown.substr(shown.size() - 290), "\\" + repeated("\xE6\x97\xA5", 96) + "\\");

    // A last folder too long to show whole: the tail would start inside a character.
    const std::string japanese = "\\\\srv\\" + repeated("\xE6\x97\xA5", 196) + "y";
    moveToItemText(japanese.c_str(), text);
    shown = text;
    EXPECT_TRUE(wholeUtf8(shown));
    EXPECT_EQ(shown.rfind("Move to \\\\srv\\...\xE6\x97\xA5", 0), 0u);
    EXPECT_EQ(shown.back(), 'y');
}
