// The mode switch and the hot zones of the main window.
#include <windows.h>

#include <commctrl.h>
#include <dlgs.h>

#include <atomic>
#include <functional>
#include <string>

#include "resources/version.h"
#include "tests/gui/main_window_helpers.h"
#include "window/clicks.h"
#include "window/main_window.h"

namespace {

class SearchingWindow : public GuiTest {
protected:
    void prepareSettings(Settings& settings) override {
        settings.searchMode = DirectoryMode;
        settings.matchPercent = 50;
    }
};

class DamagedModeWindow : public GuiTest {
    void prepareSettings(Settings& settings) override { settings.searchMode = 77; }
};

}  // namespace

TEST_F(GuiTest, SwitchCyclesTheModesEmptiesTheListAndShowsBox1013OnlyInFileMode) {
    const uint32_t expected[] = {DirectoryMode, QuickDirMode, FileMode};
    const char* firstColumn[] = {"File A", "File A", "Position"};
    EXPECT_EQ(columnTitle(0), "Position");
    EXPECT_EQ(columnTitle(2), "Details");
    for (int click = 0; click < 3; ++click) {
        app().results->insertRow(0, "row of the last job");
        clickAt(window(), switchPoint());
        EXPECT_EQ(app().settings.searchMode, expected[click]);
        EXPECT_EQ(listRowCount(), 0);
        EXPECT_EQ(columnTitle(0), firstColumn[click]);
        EXPECT_EQ(IsWindowVisible(gui().pathBoxB) != FALSE, expected[click] == FileMode);
        EXPECT_TRUE(IsWindowVisible(gui().pathBoxA));
    }
    EXPECT_EQ(columnTitle(2), "Details");
    EXPECT_EQ(static_cast<int>(SendMessageA(gui().resultListView, LVM_GETCOLUMNWIDTH, 2, 0)), 360);
}

TEST_F(DamagedModeWindow, ADamagedModeIsTakenAsFileAndTheSwitchStaysWithinTheThreeModes) {
    EXPECT_EQ(app().settings.searchMode, uint32_t{FileMode});
    EXPECT_TRUE(IsWindowVisible(gui().pathBoxB));
    app().settings.searchMode = 5;
    clickAt(window(), switchPoint());
    EXPECT_EQ(app().settings.searchMode, uint32_t{FileMode});
}

TEST_F(SearchingWindow, DuringAJobTheBoxesAreDisabledAndHelpChooseAndSwitchLightNothing) {
    startHeldSearch(window(), dataFolder());
    ASSERT_NE(app().runState, uint32_t{Idle});
    EXPECT_FALSE(IsWindowEnabled(gui().pathBoxA));
    EXPECT_FALSE(IsWindowEnabled(gui().pathBoxB));

    darkenAll(window());
    hoverAt(window(), helpPoint());
    EXPECT_EQ(gui().hoverHelp, 0u);
    hoverAt(window(), chooseAPoint());
    EXPECT_EQ(gui().hoverChooseA, 0u);
    hoverAt(window(), switchPoint());
    EXPECT_EQ(gui().hoverSwitch, 0u);
    hoverAt(window(), aboutPausePoint());
    EXPECT_EQ(gui().hoverAboutPause, 1u) << "Pause and Abort still light";
    saveScreenshot(window(), "main_window_busy_paused");

    clickAt(window(), startAbortPoint());
    ASSERT_TRUE(waitIdle());
    // Held in the walk, the closing row stands above "Indexing....": otherwise it is the last row.
    const int closingRow = listCell(listRowCount() - 1, 0) == "Indexing...." ? 0 : listRowCount() - 1;
    EXPECT_EQ(listCell(closingRow, 0), "Aborted");
    EXPECT_TRUE(IsWindowEnabled(gui().pathBoxA));
    EXPECT_EQ(app().settings.searchMode, uint32_t{DirectoryMode});
}

// Each release comes straight after one movement to its point, with no movement
// over the gaps between buttons, as with a quick flick, a touch or a pen.
TEST_F(SearchingWindow, AReleaseActsOnTheButtonUnderItNeverOnOneLitBefore) {
    setBox(window(), kPathBoxAId, makeTwinFolder(dataFolder(), 40));
    app().runControl = Paused;  // the search holds in its walk until resumed
    app().pauseGate.closeGate();
    darkenAll(window());
    moveAndRelease(window(), switchPoint().x, switchPoint().y);
    moveAndRelease(window(), startAbortPoint().x, startAbortPoint().y);
    EXPECT_EQ(app().settings.searchMode, uint32_t{QuickDirMode}) << "Start turned the switch again";
    ASSERT_NE(app().runState, uint32_t{Idle}) << "Start started nothing";

    moveAndRelease(window(), aboutPausePoint().x, aboutPausePoint().y);  // Resume, not Abort
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(listCell(listRowCount() - 1, 0), "End");
}

// Keys go through the keyboard focus, as a user's do, whatever has it: the
// list, the path box that Start disables, the window while a job runs.
TEST_F(SearchingWindow, EveryKeyAnswersThroughTheFocusDuringAndAfterAJob) {
    ASSERT_TRUE(bringToFront(window()));
    SetFocus(gui().resultListView);
    pressKeys({VK_F2});
    ASSERT_TRUE(pumpUntil([] { return app().settings.searchMode == QuickDirMode; })) << "F2 in the list";
    setBox(window(), kPathBoxAId, makeTwinFolder(dataFolder(), 40));
    // Each job holds at its start until released, so every key meets it running.
    std::atomic<bool> holding{true};
    const std::function<void()> post = app().updateControls;
    app().updateControls = [post, &holding] {
        post();
        while (holding) Sleep(5);
    };
    const auto runControlIs = [](uint32_t control) {
        return pumpUntil([control] { return app().runControl == control; }, 10000);
    };

    SetFocus(gui().pathBoxA);
    pressKeys({VK_RETURN});
    ASSERT_TRUE(pumpUntil([] { return app().runState != Idle; })) << "Enter in the path box starts the job";
    EXPECT_FALSE(IsWindowEnabled(gui().pathBoxA));
    EXPECT_EQ(GetFocus(), window()) << "the disabled box hands the focus to the window";
    pressKeys({VK_PAUSE});
    EXPECT_TRUE(runControlIs(Paused)) << "Pause holds the job";
    pressKeys({VK_F6});
    EXPECT_TRUE(runControlIs(Running)) << "F6 resumes it";
    SetFocus(gui().resultListView);
    pressKeys({VK_F6});
    EXPECT_TRUE(runControlIs(Paused)) << "F6 in the list holds it";
    holding = false;  // the search goes on into its walk and holds there
    ASSERT_TRUE(pumpUntil([] { return listRowCount() == 1; }));
    pressKeys({VK_PAUSE});
    ASSERT_TRUE(waitIdle()) << "Pause resumes it";
    EXPECT_EQ(listCell(listRowCount() - 1, 0), "End");

    // After the job: the box has the focus back, F2 turns the switch and Enter starts.
    SetFocus(gui().pathBoxA);
    holding = true;
    pressKeys({VK_RETURN});
    ASSERT_TRUE(pumpUntil([] { return app().runState != Idle; }));
    pressKeys({VK_ESCAPE});
    EXPECT_TRUE(runControlIs(AbortRequested)) << "Esc aborts the job";
    holding = false;
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(listCell(0, 0), "Aborted");
    EXPECT_EQ(GetFocus(), gui().pathBoxA) << "the box that had the focus gets it back";
    pressKeys({VK_F2});
    EXPECT_TRUE(pumpUntil([] { return app().settings.searchMode == FileMode; })) << "F2 after the job";
    pressKeys({VK_F2});
    ASSERT_TRUE(pumpUntil([] { return app().settings.searchMode == DirectoryMode; }));
    pressKeys({VK_RETURN});
    ASSERT_TRUE(pumpUntil([] { return app().runState != Idle; })) << "Enter after the job";
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(listCell(listRowCount() - 1, 0), "End");
}

TEST_F(GuiTest, IdleZonesLightAndDarkenAsThePointerMoves) {
    hoverAt(window(), chooseAPoint());
    EXPECT_EQ(gui().hoverChooseA, 1u);
    hoverAt(window(), helpPoint());
    EXPECT_EQ(gui().hoverHelp, 1u);
    EXPECT_EQ(gui().hoverChooseA, 0u) << "zone to zone darkens the first";
    hoverAt(window(), {150, 100});
    EXPECT_EQ(gui().hoverHelp + gui().hoverChooseA, 0u);
    hoverAt(window(), switchPoint());
    EXPECT_EQ(gui().hoverSwitch, 1u);
}

TEST_F(GuiTest, AboutButtonOpensTheAboutBoxOverTheWindowWhileIdle) {
    DialogAnswerer answers({{"About Kestrow", IDOK, window()}});
    clickAt(window(), aboutPausePoint());
    EXPECT_TRUE(answers.finish());
    EXPECT_EQ(gui().aboutOpen, 0u);
    EXPECT_EQ(app().runState, uint32_t{Idle});
    EXPECT_EQ(app().runControl, uint32_t{Running});
}

TEST_F(GuiTest, HelpSaysWhenItCannotOpenItsPage) {
    std::string shown;  // the test's program folder holds no help page
    DialogAnswerer answers(
        {{KESTROW_TITLE, IDOK, window(), [&shown](HWND box) { shown = dialogItemText(box, 0xFFFF); }}});
    clickAt(window(), helpPoint());
    EXPECT_TRUE(answers.finish());
    EXPECT_NE(shown.find(std::string(gui().programDirectory) + KESTROW_HELP_FILE), std::string::npos)
        << shown;
    EXPECT_NE(shown.find("not found"), std::string::npos) << shown;
}

TEST_F(GuiTest, AChosenFileGoesIntoItsBoxAndTheSavedPathsStay) {
    const std::string saved = dataFolder() + "saved.txt";
    const std::string chosen = dataFolder() + "chosen.txt";
    writeFile(saved, "s");
    writeFile(chosen, "c");
    copyPathText(app().settings.pathA, saved.c_str());
    copyPathText(app().settings.pathB, saved.c_str());
    // The name goes into whichever name field the dialog has (edit or combo box).
    DialogAnswerer answers({{KESTROW_TITLE, IDOK, window(), [&chosen](HWND dialog) {
                                 SetDlgItemTextA(dialog, edt1, chosen.c_str());
                                 SetDlgItemTextA(dialog, cmb13, chosen.c_str());
                             }}});
    actOnZone(window(), Zone::ChooseB);
    EXPECT_TRUE(answers.finish());
    EXPECT_EQ(boxText(window(), kPathBoxBId), chosen);
    EXPECT_STREQ(app().settings.pathA, saved.c_str());
    EXPECT_STREQ(app().settings.pathB, saved.c_str());
}

// The file dialog starts at the file of its own box; the folder browser at
// the folder of box 1002, so OK right away gives that folder back.
TEST_F(GuiTest, EachPickerStartsAtWhatItsOwnBoxHolds) {
    const std::string folderA = dataFolder() + "a", folderB = dataFolder() + "b";
    CreateDirectoryA(folderA.c_str(), nullptr);
    CreateDirectoryA(folderB.c_str(), nullptr);
    writeFile(folderA + "\\one.txt", "1");
    writeFile(folderB + "\\two.txt", "2");
    setBox(window(), kPathBoxAId, folderA + "\\one.txt");
    setBox(window(), kPathBoxBId, folderB + "\\two.txt");
    std::string startFolder, startName;
    DialogAnswerer file({{KESTROW_TITLE, IDCANCEL, window(), [&](HWND dialog) {
                              char folder[MAX_PATH] = {};
                              SendMessageA(dialog, CDM_GETFOLDERPATH, MAX_PATH,
                                           reinterpret_cast<LPARAM>(folder));
                              startFolder = folder;
                              // The name field is a combo box, or an edit box in older dialogs.
                              startName = dialogItemText(dialog, cmb13);
                              if (startName.empty()) startName = dialogItemText(dialog, edt1);
                          }}});
    actOnZone(window(), Zone::ChooseB);
    EXPECT_TRUE(file.finish());
    EXPECT_EQ(startFolder, folderB);
    EXPECT_EQ(startName, "two.txt");

    clickAt(window(), switchPoint());  // Directory
    setBox(window(), kPathBoxAId, folderB);
    DialogAnswerer folder({{nullptr, IDOK, window()}});
    actOnZone(window(), Zone::ChooseA);
    EXPECT_TRUE(folder.finish());
    EXPECT_EQ(boxText(window(), kPathBoxAId), folderB);
}
