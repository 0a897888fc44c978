// Jobs started, paused, resumed and aborted from the main window's buttons.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "cli/row_output.h"

#include "engine/compare/compare_files.h"
#include "engine/rows/result_store.h"
#include "engine/search/duplicate_search.h"
#include "resources/version.h"
#include "tests/gui/main_window_helpers.h"
#include "tests/gui/twin_list_fixture.h"
#include "window/clicks.h"
#include "window/job_control.h"
#include "window/main_window.h"
#include "window/main_window_paint.h"

namespace {

class QuickDirWindow : public GuiTest {
    void prepareSettings(Settings& settings) override { settings.searchMode = QuickDirMode; }
};

class DirectoryWindow : public GuiTest {
protected:
    void prepareSettings(Settings& settings) override {
        settings.searchMode = DirectoryMode;
        settings.matchPercent = 50;
    }
};

std::string fileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

bool noThread(std::function<void()>) {
    return false;
}

// Bytes that differ from those of another seed at most positions.
std::string noise(std::size_t size, uint32_t seed) {
    std::string bytes(size, '\0');
    for (char& byte : bytes) {
        seed = seed * 1103515245u + 12345u;
        byte = static_cast<char>(seed >> 24);
    }
    return bytes;
}

// The rows the command line prints for the job the window was given: the
// same engine run on a state of its own into a store of its own.
std::vector<ResultRow> commandLineRows(HWND window) {
    AppState reference;
    ResultStore rows;
    reference.results = &rows;
    reference.settings = app().settings;
    // The search keeps its last pair in the saved paths; the boxes still hold the job's.
    const std::string pathA = boxText(window, kPathBoxAId);
    reference.runState = Comparing;
    if (reference.settings.searchMode == FileMode) {
        compareFiles(reference, pathA.c_str(), boxText(window, kPathBoxBId).c_str());
    } else {
        searchDuplicates(reference, pathA.c_str(), searchOptionsOf(reference.settings));
    }
    return rows.rows();
}

}  // namespace

TEST_F(GuiTest, FileComparisonListsTheRunAndTheVerdict) {
    writeFile(dataFolder() + "a.txt", "abcde");
    writeFile(dataFolder() + "b.txt", "abXde");
    setBox(window(), kPathBoxAId, dataFolder() + "a.txt");
    setBox(window(), kPathBoxBId, dataFolder() + "b.txt");
    clickAt(window(), startAbortPoint());
    ASSERT_TRUE(waitIdle());

    ASSERT_EQ(listRowCount(), 3);
    EXPECT_EQ(listCell(0, 0), "Start");
    EXPECT_EQ(listCell(0, 2), "Files are the same size");
    EXPECT_EQ(listCell(1, 0), "2");
    EXPECT_EQ(listCell(1, 1), "1");
    EXPECT_EQ(listCell(1, 2), "File A is \"c\", File B is \"X\"");
    EXPECT_EQ(listCell(2, 0), "End");
    EXPECT_EQ(listCell(2, 2), "Files have 80% in common");
    EXPECT_EQ(listCell(3, 0), "") << "a missing row reads empty";
    EXPECT_TRUE(IsWindowEnabled(gui().pathBoxA));
    EXPECT_TRUE(IsWindowEnabled(gui().pathBoxB));
    EXPECT_FALSE(KillTimer(window(), 1)) << "the progress timer ends with the job";
}

TEST_F(GuiTest, ALongFileReportShowsEveryRowAsTheCommandLinePrintsIt) {
    writeFile(dataFolder() + "a.bin", noise(1 << 20, 1));
    writeFile(dataFolder() + "b.bin", noise(1 << 20, 2));
    setBox(window(), kPathBoxAId, dataFolder() + "a.bin");
    setBox(window(), kPathBoxBId, dataFolder() + "b.bin");
    clickAt(window(), startAbortPoint());
    ASSERT_TRUE(waitIdle(60000));
    const std::vector<ResultRow> expected = commandLineRows(window());
    ASSERT_GT(expected.size(), 3000u);
    expectShownRows(expected);
}

TEST_F(QuickDirWindow, ALongTwinListShowsEveryRowAsTheCommandLinePrintsIt) {
    setBox(window(), kPathBoxAId, makeTwinFolder(dataFolder(), 70));
    clickAt(window(), startAbortPoint());
    ASSERT_TRUE(waitIdle(60000));
    const std::vector<ResultRow> expected = commandLineRows(window());
    ASSERT_EQ(expected.size(), 70u * 69u / 2u + 2u);
    expectShownRows(expected);
}

TEST_F(QuickDirWindow, SearchListsEveryTwinPairOnceBetweenStartAndEnd) {
    const std::string tree = dataFolder() + "tree\\";
    CreateDirectoryA(tree.c_str(), nullptr);
    for (const char* name : {"x.bin", "y.bin", "z.bin"}) writeFile(tree + name, "same bytes");
    writeFile(tree + "other.bin", "other size!");
    setBox(window(), kPathBoxAId, tree);
    clickAt(window(), startAbortPoint());
    ASSERT_TRUE(waitIdle());

    ASSERT_EQ(listRowCount(), 5);
    EXPECT_EQ(listCell(0, 0), "Start");
    EXPECT_EQ(listCell(0, 1), "4 files found.");
    std::string pairs;
    for (int row = 1; row <= 3; ++row) {
        EXPECT_EQ(listCell(row, 2), "100");
        EXPECT_EQ(listCell(row, 0).rfind(tree, 0), 0u);
        EXPECT_NE(listCell(row, 0), listCell(row, 1));
        pairs += listCell(row, 0).substr(tree.size(), 1) + listCell(row, 1).substr(tree.size(), 1) + " ";
    }
    EXPECT_EQ(pairs.find('o'), std::string::npos) << "a file of another size is never compared: " << pairs;
    EXPECT_EQ(listCell(4, 0), "End");
    EXPECT_EQ(listCell(4, 1), "3 twins found");
    EXPECT_EQ(app().progressPercent, 100u) << "the first idle paint turns the finished marker into 100";
}

namespace {

// What kestrow-cli.exe scan writes for `folder` with the window's settings:
// its own writer, on a stream in the mode its main gives stdout (text for tsv).
std::string commandLineOutput(const std::string& folder, RowFormat format) {
    const std::string path = makeTempFolder() + "scan.out";
    FILE* out = std::fopen(path.c_str(), format == RowFormat::Tsv ? "w" : "wb");
    AppState reference;
    PrintingResultList rows(out, format);
    reference.results = &rows;
    reference.settings = app().settings;
    reference.runState = Comparing;
    searchDuplicates(reference, folder.c_str(), searchOptionsOf(reference.settings));
    rows.finish();
    std::fclose(out);
    return fileBytes(path);
}

// Answers the "Save list" dialog with `name`.
void saveAs(HWND window, const std::string& name) {
    DialogAnswerer answer({{"Save list", IDOK, nullptr, [name](HWND dialog) {
                                // The name box of the dialog in either of its looks.
                                for (int box : {0x480, 0x47c}) SetDlgItemTextA(dialog, box, name.c_str());
                            }}});
    SetForegroundWindow(window);
    SetFocus(gui().resultListView);
    pressKeys({VK_CONTROL, 'S'});
    EXPECT_TRUE(answer.finish());
}

}  // namespace

// Ctrl+S writes the list in the format its name asks for, byte for byte as the
// command line writes the rows of the same search.
TEST_F(QuickDirWindow, SaveListWritesWhatTheCommandLineWritesInEachFormat) {
    // A comma and a quote in the names, which csv puts between quotes.
    const std::string tree = dataFolder() + "tree, 'q'\\";
    CreateDirectoryA(tree.c_str(), nullptr);
    for (const char* name : {"x.bin", "y q.bin", "z,1.bin"}) writeFile(tree + name, "same bytes");
    writeFile(tree + "other.bin", "other size!");
    setBox(window(), kPathBoxAId, tree);
    clickAt(window(), startAbortPoint());
    ASSERT_TRUE(waitIdle());
    ASSERT_EQ(listRowCount(), 5);
    const char* names[] = {"list.tsv", "list.CSV", "list.json"};
    const RowFormat formats[] = {RowFormat::Tsv, RowFormat::Csv, RowFormat::Json};
    for (int at = 0; at < 3; ++at) {
        const std::string saved = dataFolder() + names[at];
        saveAs(window(), saved);
        ASSERT_TRUE(pumpUntil([&] { return fileExists(saved); })) << names[at];
        EXPECT_EQ(fileBytes(saved), commandLineOutput(tree, formats[at])) << names[at];
    }
}

// The list-view's own UTF-16 text of a cell.
std::wstring shownWideCell(int row, int column) {
    wchar_t text[kPathTextSize] = {};
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = kPathTextSize;
    SendMessageW(gui().resultListView, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return text;
}

std::string narrowText(const std::wstring& text) {
    char narrow[kPathTextSize * 4] = {};
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, narrow, sizeof(narrow), nullptr, nullptr);
    return narrow;
}

// Holds the walk once it has indexed at least `count` files: lets it run, then
// pauses it as Pause does.
void holdWalkAfter(uint32_t count) {
    app().runControl = Running;
    app().pauseGate.openGate();
    while (app().indexCount < count && app().runState == Indexing) Sleep(0);
    app().runControl = Paused;
    app().pauseGate.closeGate();
}

// The line under the band through a long walk: the count rises with the
// files indexed, the path in hand is always this search's own (never the
// last search's), and a name reads as the list shows it.
TEST_F(QuickDirWindow, TheProgressLineFollowsTheWalkAndShowsNamesAsTheListDoes) {
    const std::string tree = dataFolder() + "a folder with a long name, so that paths are cut\\";
    CreateDirectoryA(tree.c_str(), nullptr);
    const int folders = 40, perFolder = 50;
    for (int folder = 0; folder < folders; ++folder) {
        const std::string sub = tree + "sub folder " + std::to_string(folder) + "\\";
        CreateDirectoryA(sub.c_str(), nullptr);
        for (int file = 0; file < perFolder; ++file)  // sizes of their own: no twins
            writeFile(sub + std::to_string(file) + ".dat", std::string(folder * perFolder + file + 2, 'k'));
    }
    const std::string japanese = tree + "\xE6\x97\xA5\xE6\x9C\xAC\\";
    CreateDirectoryA(japanese.c_str(), nullptr);
    writeFile(japanese + "caf\xC3\xA9.dat", "k");
    writeFile(tree + "twin.dat", "k");
    app().currentFileText.write("Z:\\last search\\data\\slo");

    const std::string searched = tree.substr(0, tree.size() - 1);
    setBox(window(), kPathBoxAId, searched);
    app().runControl = Paused;  // held at the walk's first file
    app().pauseGate.closeGate();
    clickAt(window(), startAbortPoint());
    ASSERT_TRUE(pumpUntil([] { return app().runState == Indexing; }));
    uint32_t lastCount = 0;
    for (uint32_t target : {0u, 100u, 700u, 1500u}) {
        if (target != 0) holdWalkAfter(target);
        pumpFor(20);
        ASSERT_EQ(app().runState, uint32_t{Indexing}) << "held at " << target;
        const ShownFileLine line = shownFileLineNow();
        const std::string lead = narrowText(line.lead);
        const uint32_t count = static_cast<uint32_t>(std::strtoul(lead.c_str(), nullptr, 10));
        EXPECT_EQ(lead, std::to_string(count) + " files scanned. Current File: ");
        EXPECT_GE(count, app().indexCount.load()) << "files found, indexed or about to be";
        EXPECT_GE(count, lastCount);
        lastCount = count;
        const std::string path = narrowText(line.path);
        EXPECT_EQ(path.rfind(searched, 0), 0u) << "a path of this search: " << path;
    }
    InvalidateRect(window(), nullptr, TRUE);
    saveScreenshot(window(), "main_window_walk");
    app().runControl = Running;
    app().pauseGate.openGate();
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(listCell(0, 1), std::to_string(folders * perFolder + 2) + " files found.");
    EXPECT_EQ(app().filesFound.load(), uint32_t{folders * perFolder + 2});

    // The name outside the ANSI code page reads the same on the face as in the list.
    ASSERT_EQ(listRowCount(), 3);
    const int column = listCell(1, 0).find("caf") != std::string::npos ? 0 : 1;
    Face face;
    face.currentFileText = listCell(1, column);
    const std::wstring listed = shownWideCell(1, column);
    EXPECT_EQ(shownFileLine(face).path, listed);
    ASSERT_GT(listed.size(), 11u);
    EXPECT_EQ(listed.substr(listed.size() - 11), L"\u65E5\u672C\\caf\u00E9.dat");
}

// A search that cannot get its memory: the window learns it from the job's
// outcome and tells it on its own thread, once the job is over.
TEST_F(QuickDirWindow, NotEnoughMemoryIsToldByTheWindowsOwnThread) {
    setBox(window(), kPathBoxAId, makeTwinFolder(dataFolder(), 3));
    app().allocateBlock = [](std::size_t) -> uint8_t* { return nullptr; };
    DWORD shownBy = 0;
    uint32_t stateWhileShown = Comparing;
    DialogAnswerer answers({{KESTROW_EXE_NAME, IDOK, nullptr, [&](HWND box) {
                                 shownBy = GetWindowThreadProcessId(box, nullptr);
                                 stateWhileShown = app().runState;
                             }}});
    clickAt(window(), startAbortPoint());
    EXPECT_TRUE(answers.finish());
    EXPECT_EQ(shownBy, GetCurrentThreadId());
    EXPECT_EQ(stateWhileShown, uint32_t{Idle});
    ASSERT_TRUE(waitIdle());
    app().allocateBlock = nullptr;
}

TEST_F(DirectoryWindow, PauseHoldsTheSearchResumeGoesOnAndAbortWhilePausedEndsIt) {
    startHeldSearch(window(), dataFolder());
    EXPECT_FALSE(IsWindowEnabled(gui().pathBoxA));
    darkenAll(window());
    // Held in the walk: "Indexing...." is listed and the button offers Resume.
    EXPECT_TRUE(pumpUntil([this] {
        return listRowCount() == 1 && shownAboutPauseButton(window()) == expectedAboutPauseButton("Resume");
    }));
    const int heldAt = listRowCount();
    pumpFor(300);
    EXPECT_EQ(listRowCount(), heldAt) << "a paused search writes no rows";
    saveScreenshot(window(), "main_window_paused");

    clickAt(window(), startAbortPoint());
    ASSERT_TRUE(waitIdle());
    // Held in the walk, the abort ends it there: the closing row stands above "Indexing....".
    ASSERT_EQ(listRowCount(), 2);
    EXPECT_EQ(listCell(0, 0), "Aborted");
    EXPECT_EQ(listCell(0, 1), "0 twins found");
    EXPECT_EQ(listCell(1, 0), "Indexing....");
    EXPECT_EQ(app().runControl, uint32_t{Running});
    EXPECT_TRUE(app().pauseGate.isOpen());
    EXPECT_TRUE(IsWindowEnabled(gui().pathBoxA));
    darkenAll(window());
    EXPECT_TRUE(
        pumpUntil([this] { return shownAboutPauseButton(window()) == expectedAboutPauseButton("About"); }));

    // Resumed, the same search goes on to its end.
    startHeldSearch(window(), dataFolder());
    clickAt(window(), aboutPausePoint());
    EXPECT_EQ(app().runControl, uint32_t{Running});
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(listCell(listRowCount() - 1, 0), "End");
    EXPECT_EQ(listCell(listRowCount() - 1, 1), "780 twins found");
}

TEST_F(GuiTest, AFailedWorkerStartLeavesTheWindowIdleAndUsable) {
    setBox(window(), kPathBoxAId, "C:\\a.txt");
    setBox(window(), kPathBoxBId, "C:\\b.txt");
    const WorkerStarter original = startWorkerThread;
    startWorkerThread = noThread;
    clickAt(window(), startAbortPoint());
    startWorkerThread = original;
    EXPECT_EQ(app().runState, uint32_t{Idle});
    EXPECT_FALSE(KillTimer(window(), 1)) << "timer 1 was stopped again";
    EXPECT_TRUE(IsWindowEnabled(gui().pathBoxA));
    EXPECT_TRUE(IsWindowEnabled(gui().pathBoxB));
}

TEST_F(GuiTest, StartRefusesEmptyAndOverlongPathsButNeverStartsBehindAClosedGate) {
    app().results->insertRow(0, "old row");
    setBox(window(), kPathBoxAId, dataFolder() + "a.txt");
    clickAt(window(), startAbortPoint());
    EXPECT_EQ(app().runState, uint32_t{Idle}) << "box 1013 is empty";
    EXPECT_EQ(listRowCount(), 0) << "the list is emptied all the same";

    // A path that does not fit a path text would be cut to another path.
    setBox(window(), kPathBoxBId, "C:\\" + std::string(700, 'b'));
    clickAt(window(), startAbortPoint());
    EXPECT_EQ(app().runState, uint32_t{Idle});

    // A gate left closed by a job that ended while paused is opened by Start.
    writeFile(dataFolder() + "a.txt", "same");
    writeFile(dataFolder() + "b.txt", "same");
    setBox(window(), kPathBoxBId, dataFolder() + "b.txt");
    app().pauseGate.closeGate();
    clickAt(window(), startAbortPoint());
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(listCell(listRowCount() - 1, 2), "Same");
}

TEST_F(DirectoryWindow, AJobThatEndsWhileMinimisedShowsTheIdleFaceOnRestore) {
    setBox(window(), kPathBoxAId, makeTwinFolder(dataFolder(), 8));
    clickAt(window(), startAbortPoint());
    ShowWindow(window(), SW_MINIMIZE);
    ASSERT_TRUE(waitIdle());
    pumpFor(250);
    ShowWindow(window(), SW_RESTORE);
    // Restored: the face is painted once no part of the window awaits painting.
    ASSERT_TRUE(pumpUntil([this] { return !GetUpdateRect(window(), nullptr, FALSE); }));
    const std::vector<uint32_t> shown = captureTopBand(window());
    EXPECT_TRUE(shown == repaintAndCaptureTopBand(window())) << "the restored window shows a stale face";
    EXPECT_EQ(listCell(listRowCount() - 1, 0), "End");
}
