// The right-click menu as the window builds it and the commands it sends; the
// list's own keys, header clicks and path cells.
#include "tests/gui/twin_list_fixture.h"

#include <commctrl.h>

#include <atomic>
#include <cstring>

#include "shell/settings.h"
#include "tests/gui/main_window_helpers.h"
#include "window/context_menu.h"

namespace {

bool checked(HMENU menu, UINT command) {
    return (GetMenuState(menu, command, MF_BYCOMMAND) & MF_CHECKED) != 0;
}
bool offered(HMENU menu, UINT command) {
    return GetMenuState(menu, command, MF_BYCOMMAND) != static_cast<UINT>(-1);
}

std::string itemText(HMENU menu, UINT command) {
    char text[kPathTextSize] = {};
    GetMenuStringA(menu, command, text, sizeof(text), MF_BYCOMMAND);
    return text;
}

// The command ids of the nine percentages that carry a check mark.
std::vector<UINT> checkedPercentages(uint32_t matchPercent) {
    app().settings.matchPercent = matchPercent;
    HMENU menu = buildContextMenu();
    std::vector<UINT> marked;
    for (UINT command = 2050; command <= 2058; ++command) {
        if (checked(menu, command)) marked.push_back(command);
    }
    DestroyMenu(menu);
    return marked;
}

}  // namespace

TEST_F(TwinListTest, BuiltMenuShowsTheSettingsAndItsCheckMarks) {
    EXPECT_EQ(checkedPercentages(93), std::vector<UINT>{2053});
    EXPECT_EQ(checkedPercentages(0), std::vector<UINT>{2050});
    EXPECT_TRUE(checkedPercentages(120).empty());

    std::strcpy(app().settings.moveDirectory, "C:\\Old Folder");
    app().settings.batchDeleteMode = MoveToMode;
    app().settings.onTop = 1;
    HMENU menu = buildContextMenu();
    EXPECT_EQ(itemText(menu, 2023), "Move to C:\\Old Folder");
    EXPECT_TRUE(checked(menu, 2023));
    EXPECT_FALSE(checked(menu, 2021));
    EXPECT_TRUE(checked(menu, 2018));
    EXPECT_FALSE(checked(menu, 2017));
    // About, Help, separator, Transparent, On Top, Settings, separator, Exit.
    EXPECT_EQ(GetMenuItemCount(menu), 8);
    char text[32] = {};
    GetMenuStringA(menu, 5, text, sizeof(text), MF_BYPOSITION);
    EXPECT_STREQ(text, "Settings");
    EXPECT_NE(GetSubMenu(menu, 5), nullptr);
    DestroyMenu(menu);
}

TEST_F(TwinListTest, RowCommandsOnlyAfterAFolderSearchThatFoundTwins) {
    listPairs({{writeFile("menu_a.bin", 2), writeFile("menu_b.bin", 2), "100"}});
    app().runState = MenuRequested;
    HMENU menu = buildContextMenu();
    EXPECT_TRUE(offered(menu, 2073));
    EXPECT_TRUE(offered(menu, 2074));
    EXPECT_EQ(app().runState, Idle);
    DestroyMenu(menu);

    app().settings.searchMode = FileMode;  // after a "File" comparison
    app().runState = MenuRequested;
    menu = buildContextMenu();
    EXPECT_FALSE(offered(menu, 2073));
    EXPECT_FALSE(offered(menu, 2074));
    DestroyMenu(menu);

    app().settings.searchMode = DirectoryMode;
    app().twinCount = 0;  // a search that found no twins
    app().runState = MenuRequested;
    menu = buildContextMenu();
    EXPECT_FALSE(offered(menu, 2073));
    DestroyMenu(menu);
}

TEST_F(TwinListTest, RemoveDropsTwinRowsOnlyAndTouchesNoFile) {
    const std::string a1 = writeFile("rm_a1.bin", 2), b1 = writeFile("rm_b1.bin", 2);
    const std::string a2 = writeFile("rm_a2.bin", 3), b2 = writeFile("rm_b2.bin", 3);
    listPairs({{a1, b1, "100"}, {a2, b2, "100"}});
    for (int row : {0, 3}) {  // "Start" and "End"
        focusRow(row);
        handleCommand(window(), 2074);
    }
    EXPECT_EQ(column(0), (std::vector<std::string>{"Start", a1, a2, "End"}));
    EXPECT_EQ(app().twinCount, 2u);

    focusRow(1);
    handleCommand(window(), 2074);
    EXPECT_EQ(column(0), (std::vector<std::string>{"Start", a2, "End"}));
    EXPECT_EQ(app().twinCount, 1u);
    EXPECT_TRUE(fileExists(a1));
    EXPECT_TRUE(fileExists(b1));
}

// Rows chosen with the pointer, a plain click and a Ctrl+click, all go at once.
TEST_F(TwinListTest, RemoveTakesEverySelectedRowOffAndTheClosingCountFollows) {
    std::vector<TwinRow> pairs;
    for (int pair = 0; pair < 4; ++pair) {
        const std::string name = "sel" + std::to_string(pair);
        pairs.push_back({writeFile(name + "_a.bin", 2 + pair), writeFile(name + "_b.bin", 2 + pair), "100"});
    }
    listPairs(pairs);
    SetForegroundWindow(window());
    clickScreen(rowPoint(1));
    clickScreen(rowPoint(3), VK_CONTROL);
    clickScreen(rowPoint(5), VK_CONTROL);  // the closing row is never removed
    ASSERT_TRUE(
        pumpUntil([] { return SendMessageA(gui().resultListView, LVM_GETSELECTEDCOUNT, 0, 0) == 3; }));
    handleCommand(window(), 2074);
    EXPECT_EQ(column(0), (std::vector<std::string>{"Start", pairs[1].pathA, pairs[3].pathA, "End"}));
    EXPECT_EQ(app().twinCount, 2u);
    EXPECT_EQ(listCell(3, 1), "2 twins found");
    for (const TwinRow& pair : pairs) {
        EXPECT_TRUE(fileExists(pair.pathA));
        EXPECT_TRUE(fileExists(pair.pathB));
    }
}

namespace {

// A cell as the command line's tsv writes it: a backslash doubled.
std::string tsvCell(const std::string& cell) {
    std::string written;
    for (char character : cell)
        written += character == '\\' ? std::string("\\\\") : std::string(1, character);
    return written;
}

}  // namespace

// Header clicks sort (again: the other way), "Start" and "End" stay where they
// are; Ctrl+A and Ctrl+C put every row on the clipboard as the command line's tsv.
TEST_F(TwinListTest, HeaderClicksSortAndCtrlAThenCtrlCCopiesEveryRow) {
    const std::string a = writeFile("sort_a.bin", 2), b = writeFile("sort_b.bin", 2);
    const std::string c = writeFile("sort_c.bin", 3), d = writeFile("sort_d.bin", 3);
    listPairs({{c, d, "98"}, {a, b, "100"}, {b, c, "9"}});
    SetForegroundWindow(window());
    clickScreen(headerPoint(2));
    const std::vector<std::string> ascending{"", "9", "98", "100", ""};
    EXPECT_TRUE(pumpUntil([&] { return column(2) == ascending; })) << column(2)[1];
    clickScreen(headerPoint(2));  // soon after the first: a double-click, which sorts again all the same
    const std::vector<std::string> descending{"", "100", "98", "9", ""};
    EXPECT_TRUE(pumpUntil([&] { return column(2) == descending; })) << column(2)[1];
    clickScreen(headerPoint(0));
    const std::vector<std::string> byPathA{"Start", a, b, c, "End"};
    EXPECT_TRUE(pumpUntil([&] { return column(0) == byPathA; })) << column(0)[1];

    SetFocus(gui().resultListView);
    pressKeys({VK_CONTROL, 'A'});
    ASSERT_TRUE(
        pumpUntil([] { return SendMessageA(gui().resultListView, LVM_GETSELECTEDCOUNT, 0, 0) == 5; }));
    pressKeys({VK_CONTROL, 'C'});
    std::string expected;
    for (int row = 0; row < 5; ++row)
        expected +=
            tsvCell(listCell(row, 0)) + '\t' + tsvCell(listCell(row, 1)) + '\t' + listCell(row, 2) + "\r\n";
    EXPECT_TRUE(pumpUntil([&] { return clipboardText() == expected; })) << clipboardText();
}

// A path too long for its column is drawn cut in the middle (the cut itself is
// tested without a window) and the tip over it holds the whole path.
TEST_F(TwinListTest, APathCutToItsColumnHasATipWithTheWholePath) {
    const std::string a = writeFile(std::string(80, 'n') + "_a.bin", 2);
    listPairs({{a, writeFile("b.bin", 2), "100"}});
    auto tipOver = [this](int row, int column) {
        const POINT point = cellPoint(row, column);
        SetCursorPos(point.x, point.y);
        NMTTDISPINFOA request = {};
        request.hdr.hwndFrom = gui().tooltipWindow;
        request.hdr.idFrom = reinterpret_cast<UINT_PTR>(gui().resultListView);
        request.hdr.code = TTN_GETDISPINFOA;
        SendMessageA(window(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&request));
        return std::string(request.lpszText != nullptr ? request.lpszText : "");
    };
    EXPECT_EQ(tipOver(1, 0), a);
    EXPECT_EQ(tipOver(0, 0), "") << "\"Start\" fits its cell";
    EXPECT_EQ(tipOver(1, 2), "") << "a percentage needs no tip";

    // Resting the pointer on the cell shows the tip.
    SetForegroundWindow(window());
    const POINT point = cellPoint(1, 0);
    clickScreen(point);
    INPUT move = {};
    move.type = INPUT_MOUSE;
    move.mi.dwFlags = MOUSEEVENTF_MOVE;
    move.mi.dx = 1;
    SendInput(1, &move, sizeof(move));
    EXPECT_TRUE(pumpUntil([] { return IsWindowVisible(gui().tooltipWindow) != FALSE; }, 10000));
    saveScreenshot(window(), "list_path_cells");
}

TEST_F(TwinListTest, DetailsOpensTheActionDialogOnTheFocusedRow) {
    const std::string a = writeFile("details_a.bin", 2);
    listPairs({{a, writeFile("details_b.bin", 2), "100"}});
    focusRow(1);
    std::string shown;
    DialogAnswerer answers({{"Duplicate File Action", IDCANCEL, nullptr,
                             [&](HWND dialog) { shown = dialogItemText(dialog, 1002); }}});
    handleCommand(window(), 2073);
    EXPECT_TRUE(answers.finish());
    EXPECT_EQ(shown, a);
}

TEST_F(GuiTest, SelectMoveDirCancelledKeepsTheFolderButSetsTheMode) {
    std::strcpy(app().settings.moveDirectory, "C:\\Old Folder");
    app().settings.batchDeleteMode = RecycleMode;
    DialogAnswerer cancel({{nullptr, IDCANCEL, window()}});
    handleCommand(window(), 2024);
    EXPECT_TRUE(cancel.finish());
    EXPECT_EQ(app().settings.batchDeleteMode, MoveToMode);
    EXPECT_STREQ(app().settings.moveDirectory, "C:\\Old Folder");
    HMENU menu = buildContextMenu();
    EXPECT_TRUE(checked(menu, 2023));
    EXPECT_EQ(itemText(menu, 2023), "Move to C:\\Old Folder");
    DestroyMenu(menu);
}

TEST_F(GuiTest, NotificationsWithACodeInTheHighWordAreNoCommands) {
    app().settings.useHash = 0;
    app().settings.matchPercent = 90;
    handleCommand(window(), MAKEWPARAM(2072, EN_CHANGE));
    handleCommand(window(), MAKEWPARAM(2058, 1));
    EXPECT_EQ(app().settings.useHash, 0u);
    EXPECT_EQ(app().settings.matchPercent, 90u);
}

TEST_F(GuiTest, EverySettingTogglesAndExitSavesThem) {
    app().settings.useHash = 0;
    app().settings.overrideReadOnly = 0;
    app().settings.batchDeleteMode = RecycleMode;
    app().settings.matchPercent = 100;
    for (WPARAM command : {2072, 2076, 2019, 2075, 2022, 2053, 2018, 2017}) handleCommand(window(), command);
    const Settings& settings = app().settings;
    EXPECT_EQ(settings.useHash, 1u);
    EXPECT_EQ(settings.overrideReadOnly, 1u);
    EXPECT_EQ(app().removeEmptyDirs, 1u);
    EXPECT_EQ(app().checkZeroLength, 1u);
    EXPECT_EQ(settings.batchDeleteMode, DeleteMode);
    EXPECT_EQ(settings.matchPercent, 95u);
    EXPECT_EQ(settings.onTop, 1u);
    EXPECT_TRUE(GetWindowLongA(window(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(settings.transparent, 1u);
    EXPECT_TRUE(GetWindowLongA(window(), GWL_EXSTYLE) & WS_EX_LAYERED);

    handleCommand(window(), 2018);
    handleCommand(window(), 2017);
    EXPECT_EQ(settings.onTop, 0u);
    EXPECT_FALSE(GetWindowLongA(window(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(settings.transparent, 0u);
    handleCommand(window(), 2018);

    handleCommand(window(), 2002);  // "Exit" while idle closes and saves
    ASSERT_TRUE(pumpUntil([this] { return !IsWindow(window()); }));
    std::memset(&app().settings, 0, sizeof(app().settings));
    ASSERT_EQ(loadSettings(), 0u);
    EXPECT_EQ(settings.useHash, 1u);
    EXPECT_EQ(settings.overrideReadOnly, 1u);
    EXPECT_EQ(settings.batchDeleteMode, DeleteMode);
    EXPECT_EQ(settings.matchPercent, 95u);
    EXPECT_EQ(settings.onTop, 1u);
    EXPECT_EQ(settings.transparent, 0u);
}

// The keyboard's menu key opens the menu at the pointer, with the row commands
// after an idle folder search that found twins.
TEST_F(TwinListTest, MenuKeyOpensTheMenuAtThePointerWithTheRowCommands) {
    listPairs({{writeFile("key_a.bin", 2), writeFile("key_b.bin", 2), "100"}});
    SetCursorPos(700, 500);
    RECT shown = {};
    std::atomic<bool> seen{false};
    std::atomic<bool> details{false};
    WorkerThread closer;
    closer.start([&] {
        for (int i = 0; i < 250 && !seen; ++i) {
            HWND popup = FindWindowA("#32768", nullptr);
            if (popup && IsWindowVisible(popup)) {
                GetWindowRect(popup, &shown);
                HMENU tracked = reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0));
                details = offered(tracked, 2073) && offered(tracked, 2074);
                seen = true;
                PostMessageA(window(), WM_CANCELMODE, 0, 0);
            }
            Sleep(20);
        }
    });
    SendMessageA(window(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window()), MAKELPARAM(-1, -1));
    pumpUntil([&] { return seen.load(); });
    closer.join();
    ASSERT_TRUE(seen);
    EXPECT_TRUE(details);
    EXPECT_EQ(shown.right, 700);
    EXPECT_EQ(shown.top, 500);
    EXPECT_EQ(app().runState, Idle);
}
