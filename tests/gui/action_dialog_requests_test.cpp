// What the action dialog hands to its opener: a detailed comparison of the
// pair, or the delete-all confirmation of one column.
#include "tests/gui/twin_list_fixture.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "resources/version.h"
#include "tests/gui/main_window_helpers.h"
#include "window/context_menu.h"
#include "window/main_window.h"

TEST_F(TwinListTest, DetailViewOnA99PercentPairComparesItInFileMode) {
    const std::string a = writeFile("detail_a.bin", 2000, 'k');
    const std::string b = dataFolder() + "detail_b.bin";
    std::string bytes(2000, 'k');
    bytes.replace(500, 10, 10, 'x');  // one run of 10 differing bytes
    ::writeFile(b, bytes);
    listPairs({{a, b, "99"}});
    setBox(window(), kPathBoxAId, dataFolder());  // the folder the twin list came from
    std::strcpy(app().settings.pathA, dataFolder().c_str());
    app().settings.matchPercent = 90;
    focusRow(1);
    app().progressPercent = 101;
    // Paused first, so the comparison holds at its first piece however fast it is.
    app().runControl = Paused;
    app().pauseGate.closeGate();

    DialogAnswerer detail({{"Duplicate File Action", 1028}});
    doubleClick();
    EXPECT_TRUE(detail.finish());
    // Started the way Start starts a job: the repaint timer runs, so the progress
    // band moves and the idle face comes back when the comparison ends.
    EXPECT_TRUE(KillTimer(window(), 1));
    SetTimer(window(), 1, 100, nullptr);
    app().runControl = Running;
    app().pauseGate.openGate();

    EXPECT_EQ(app().settings.searchMode, FileMode);
    EXPECT_EQ(windowText(gui().pathBoxA), a);
    EXPECT_EQ(windowText(gui().pathBoxB), b);
    EXPECT_STREQ(app().settings.pathA, a.c_str());
    EXPECT_STREQ(app().settings.pathB, b.c_str());
    ASSERT_TRUE(pumpUntil([] { return app().runState == Idle; }));
    EXPECT_EQ(columnTitle(0), "Position");
    EXPECT_EQ(columnTitle(1), "Length");
    EXPECT_EQ(columnTitle(2), "Details");
    const std::vector<std::string> positions = column(0);
    const std::vector<std::string> details = column(2);
    ASSERT_GE(positions.size(), 3u);
    EXPECT_EQ(positions.front(), "Start");
    EXPECT_NE(std::find(positions.begin(), positions.end(), "500"), positions.end());
    EXPECT_NE(std::find(details.begin(), details.end(), "Files have 99% in common"), details.end());
    // The timer ends itself once the job is over.
    EXPECT_TRUE(pumpUntil([this] { return !KillTimer(window(), 1); }));
    saveScreenshot(window(), "action_dialog_detail_view");

    // The way back: offered in the menu, taken with Alt+Left.
    app().runState = MenuRequested;
    HMENU menu = buildContextMenu();
    EXPECT_NE(GetMenuState(menu, 2081, MF_BYCOMMAND), static_cast<UINT>(-1));
    DestroyMenu(menu);
    app().settings.matchPercent = 50;
    SetForegroundWindow(window());
    SetFocus(gui().resultListView);
    pressKeys({VK_MENU, VK_LEFT});
    ASSERT_TRUE(pumpUntil([] { return app().settings.searchMode == DirectoryMode; }));
    EXPECT_EQ(column(0), (std::vector<std::string>{"Start", a, "End"}));
    EXPECT_EQ(column(2), (std::vector<std::string>{"", "99", ""}));
    EXPECT_EQ(columnTitle(0), "File A");
    EXPECT_EQ(windowText(gui().pathBoxA), dataFolder());
    EXPECT_STREQ(app().settings.pathA, dataFolder().c_str());
    EXPECT_EQ(app().settings.matchPercent, 90u);
    EXPECT_EQ(app().twinCount, 1u);
    EXPECT_EQ(app().results->focusedRow(), 1);
    EXPECT_NE(SendMessageA(gui().resultListView, LVM_GETITEMSTATE, 1, LVIS_SELECTED), 0);
    app().runState = MenuRequested;
    menu = buildContextMenu();
    EXPECT_EQ(GetMenuState(menu, 2081, MF_BYCOMMAND), static_cast<UINT>(-1)) << "only once kept";
    DestroyMenu(menu);
}

TEST_F(TwinListTest, DeleteAllHandsTheColumnToTheConfirmationAndCancelTouchesNothing) {
    const std::string a = writeFile("all_a.bin", 3), b = writeFile("all_b.bin", 3);
    listPairs({{a, b, "100"}});
    for (int button : {1020, 1021}) {
        focusRow(1);
        uint32_t requestWhileAsked = 0;
        DialogAnswerer answers(
            {{"Duplicate File Action", button},
             {KESTROW_TITLE, IDCANCEL, window(), [&](HWND) { requestWhileAsked = app().runState; }}});
        doubleClick();
        EXPECT_TRUE(answers.finish()) << button;
        EXPECT_EQ(requestWhileAsked, button == 1020 ? DeleteAllA : DeleteAllB);
        EXPECT_EQ(app().runState, Idle);
        EXPECT_TRUE(fileExists(a));
        EXPECT_TRUE(fileExists(b));
        EXPECT_EQ(column(0), (std::vector<std::string>{"Start", a, "End"}));
    }
}
