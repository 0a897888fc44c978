// Which pair the "Duplicate File Action" dialog shows, and how.
#include "tests/gui/main_window_helpers.h"
#include "tests/gui/twin_list_fixture.h"

#include <commctrl.h>

namespace {

struct ShownPair {
    std::string pathA, pathB, sizeA, sizeB, modifiedA, verdict;
    bool detailEnabled = false;
    int buttonFontHeight = 0;
    int verdictFontHeight = 0;
    HFONT buttonFont = nullptr;
    LRESULT tools = 0;
};

int fontHeight(HFONT font) {
    LOGFONTA described = {};
    return GetObjectA(font, sizeof(described), &described) == sizeof(described) ? described.lfHeight : 0;
}

// Reads what the dialog shows, then closes it.
DialogScript readAndPress(ShownPair& shown, const char* screenshot = nullptr) {
    return DialogScript([&shown, screenshot] {
        HWND dialog = awaitDialog("Duplicate File Action");
        if (!dialog) return;
        shown.pathA = dialogItemText(dialog, 1002);
        shown.pathB = dialogItemText(dialog, 1011);
        shown.sizeA = dialogItemText(dialog, 1005);
        shown.sizeB = dialogItemText(dialog, 1012);
        shown.modifiedA = dialogItemText(dialog, 1010);
        shown.verdict = dialogItemText(dialog, 1031);
        shown.detailEnabled = IsWindowEnabled(GetDlgItem(dialog, 1028)) != FALSE;
        shown.buttonFont = reinterpret_cast<HFONT>(SendDlgItemMessageA(dialog, 1027, WM_GETFONT, 0, 0));
        shown.buttonFontHeight = fontHeight(shown.buttonFont);
        shown.verdictFontHeight =
            fontHeight(reinterpret_cast<HFONT>(SendDlgItemMessageA(dialog, 1031, WM_GETFONT, 0, 0)));
        shown.tools = SendMessageA(gui().tooltipWindow, TTM_GETTOOLCOUNT, 0, 0);
        if (screenshot) saveScreenshot(dialog, screenshot);
        pressButton(dialog, IDCANCEL);
        awaitGone(dialog);
    });
}

// The date and time the user's file manager shows for a UTC file time.
std::string localTimeText(const SYSTEMTIME& utc) {
    SYSTEMTIME local = {};
    SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local);
    char time[100] = {}, date[100] = {};
    GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &local, nullptr, time, sizeof(time));
    GetDateFormatA(LOCALE_USER_DEFAULT, 0, &local, nullptr, date, sizeof(date));
    return std::string(time) + " " + date;
}

}  // namespace

TEST_F(TwinListTest, DoubleClickOnStartRowShowsTheFirstPairWithSizesLocalDateAndVerdict) {
    const std::string a1 = writeFile("show_a1.bin", 12345);
    const std::string b1 = writeFile("show_b1.bin", 12345);
    const std::string a2 = writeFile("show_a2.bin", 10);
    // A file over 2 GiB shows its size unsigned (sparse: nothing is written).
    const std::string big = dataFolder() + "show_big.bin";
    HANDLE file =
        CreateFileA(big.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    LARGE_INTEGER bigSize;
    bigSize.QuadPart = 3000000000LL;
    SetFilePointerEx(file, bigSize, nullptr, FILE_BEGIN);
    SetEndOfFile(file);
    CloseHandle(file);
    // A winter noon in UTC. Under a zone other than UTC (e.g. TZ=America/New_York for
    // Wine) this also tells local time from UTC.
    SYSTEMTIME utc = {2024, 1, 0, 15, 12, 30, 45, 0};
    FILETIME written;
    SystemTimeToFileTime(&utc, &written);
    file = CreateFileA(a1.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    SetFileTime(file, nullptr, nullptr, &written);
    CloseHandle(file);
    listPairs({{a1, b1, "100"}, {a2, big, "97"}});
    focusRow(0);
    const LRESULT toolsBefore = SendMessageA(gui().tooltipWindow, TTM_GETTOOLCOUNT, 0, 0);

    ShownPair first;
    {
        DialogScript script = readAndPress(first, "action_dialog_first_pair");
        doubleClick();
        EXPECT_TRUE(script.finish());
    }
    EXPECT_EQ(first.pathA, a1);
    EXPECT_EQ(first.pathB, b1);
    EXPECT_EQ(first.sizeA, "12345");
    EXPECT_EQ(first.sizeB, "12345");
    EXPECT_EQ(first.modifiedA, localTimeText(utc));
    EXPECT_EQ(first.verdict, "These files were found to be 100% the same.");
    EXPECT_FALSE(first.detailEnabled);
    EXPECT_EQ(gui().selectedRow, 1);
    // The fonts are alive while the dialog shows them and deleted once it is gone.
    EXPECT_EQ(first.buttonFontHeight, 25);
    EXPECT_EQ(first.verdictFontHeight, 16);
    EXPECT_EQ(GetObjectType(first.buttonFont), 0u);
    // Thirteen tips while open, none left behind afterwards.
    EXPECT_EQ(first.tools, toolsBefore + 13);
    EXPECT_EQ(SendMessageA(gui().tooltipWindow, TTM_GETTOOLCOUNT, 0, 0), toolsBefore);

    // On a monitor of 144 DPI the dialog's own texts grow with it.
    moveToDpi(window(), 144);
    focusRow(2);
    ShownPair second;
    {
        DialogScript script = readAndPress(second);
        doubleClick();
        EXPECT_TRUE(script.finish());
    }
    EXPECT_EQ(second.sizeB, "3000000000");
    EXPECT_EQ(second.verdict, "These files were found to be 97% the same.");
    EXPECT_TRUE(second.detailEnabled);
    EXPECT_EQ(second.buttonFontHeight, 38);
    EXPECT_EQ(second.verdictFontHeight, 24);
    DeleteFileA(big.c_str());
}

TEST_F(TwinListTest, ClosingRowShowsNoDialog) {
    listPairs({{writeFile("end_a.bin", 5), writeFile("end_b.bin", 5), "100"}});
    focusRow(2);
    DialogAnswerer watch({{"Duplicate File Action", IDCANCEL}}, 1500);
    doubleClick();
    EXPECT_FALSE(watch.finish());
    EXPECT_EQ(watch.answered(), 0);
    EXPECT_EQ(app().runState, Idle);
    EXPECT_EQ(column(0).size(), 3u);
}

TEST_F(TwinListTest, NoFocusedRowShowsTheFirstFillablePair) {
    const std::string a = writeFile("nofocus_a.bin", 7);
    listPairs({{a, writeFile("nofocus_b.bin", 7), "100"}});
    clearFocus();
    ASSERT_EQ(app().results->focusedRow(), -1);
    ShownPair shown;
    DialogScript script = readAndPress(shown);
    doubleClick();
    EXPECT_TRUE(script.finish());
    EXPECT_EQ(shown.pathA, a);
    EXPECT_EQ(gui().selectedRow, 1);
}

TEST_F(TwinListTest, NothingOpensInFileModeOrWhileAJobRuns) {
    listPairs({{writeFile("mode_a.bin", 5), writeFile("mode_b.bin", 5), "100"}});
    focusRow(1);
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (attempt == 0) app().settings.searchMode = FileMode;
        if (attempt == 1) {
            app().settings.searchMode = QuickDirMode;
            app().runState = Pairing;
        }
        DialogAnswerer watch({{"Duplicate File Action", IDCANCEL}}, 1000);
        doubleClick();
        EXPECT_FALSE(watch.finish()) << attempt;
    }
    app().runState = Idle;
}

TEST_F(TwinListTest, CloseAndEscapeChangeNothing) {
    const std::string a = writeFile("close_a.bin", 9);
    const std::string b = writeFile("close_b.bin", 9);
    listPairs({{a, b, "100"}});
    focusRow(1);
    const std::vector<std::string> before = column(0);

    DialogAnswerer close({{"Duplicate File Action", IDCANCEL}});  // "Close" is button 2
    doubleClick();
    EXPECT_TRUE(close.finish());

    DialogScript escape([] {
        HWND dialog = awaitDialog("Duplicate File Action");
        if (!dialog) return;
        HWND focused = GetDlgItem(dialog, 1027);
        PostMessageA(focused, WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessageA(focused, WM_KEYUP, VK_ESCAPE, 0);
        awaitGone(dialog);
    });
    doubleClick();
    EXPECT_TRUE(escape.finish());

    EXPECT_EQ(app().runState, Idle);
    EXPECT_EQ(app().settings.searchMode, DirectoryMode);
    EXPECT_EQ(column(0), before);
    EXPECT_TRUE(fileExists(a));
    EXPECT_TRUE(fileExists(b));
}

TEST_F(TwinListTest, KeysAndAClickSelectTheRowTheyReachAndOnlyItAndTheDialogShowsIt) {
    std::vector<TwinRow> pairs;
    for (const char* name : {"k1", "k2", "k3"}) {
        const std::string stem = name;
        pairs.push_back({writeFile(stem + "_a.bin", 4), writeFile(stem + "_b.bin", 4), "100"});
    }
    listPairs(pairs);
    HWND list = gui().resultListView;
    // The selected rows: how many, and the first.
    const auto selection = [list] {
        return std::make_pair(
            static_cast<int>(SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0)),
            static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)));
    };
    focusRow(1);
    SendMessageA(list, WM_KEYDOWN, VK_DOWN, 1);
    EXPECT_EQ(selection(), std::make_pair(1, 2));
    SendMessageA(list, WM_KEYDOWN, VK_HOME, 1);
    EXPECT_EQ(selection(), std::make_pair(1, 0));
    SendMessageA(list, WM_KEYDOWN, VK_UP, 1);  // nowhere to go: the row stays selected
    EXPECT_EQ(selection(), std::make_pair(1, 0));

    RECT place = {LVIR_BOUNDS, 0, 0, 0};
    SendMessageA(list, LVM_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&place));
    const LPARAM point = MAKELPARAM(place.left + 20, place.top + 2);
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageA(list, WM_LBUTTONUP, 0, point);
    EXPECT_EQ(selection(), std::make_pair(1, 3));
    ShownPair shown;
    DialogScript script = readAndPress(shown);
    SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, point);
    EXPECT_TRUE(script.finish());
    EXPECT_EQ(shown.pathA, pairs[2].pathA);
}
