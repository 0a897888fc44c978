// The "Delete ALL" confirmation: its texts, and every way of stopping it.
#include <atomic>
#include <cstdlib>

#include "resources/resource_ids.h"
#include "resources/version.h"
#include "tests/gui/batch_delete_fixture.h"
#include "tests/gui/main_window_helpers.h"

namespace {

// Main-thread timer that, once the confirmation shows, presses its buttons
// in one go, so that no message of the worker can come in between.
std::vector<int> pendingPresses;

void CALLBACK pressTogether(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = findDialog(KESTROW_TITLE, gui().mainWindow);
    if (dialog == nullptr) return;
    KillTimer(nullptr, timer);
    for (int button : pendingPresses) SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
}

// Watches the confirmation until it closes, then reads and answers the
// summary that follows it.
DialogAnswerer summaryAnswerer(std::string& summary) {
    return DialogAnswerer({{KESTROW_TITLE, 0, gui().mainWindow},
                           {KESTROW_TITLE, IDOK, gui().mainWindow,
                            [&summary](HWND box) { summary = dialogItemText(box, 0xFFFF); }}});
}

// Whether the message box of the confirmation shows every line of its text.
bool messageFits(HWND dialog) {
    HWND message = GetDlgItem(dialog, kPromptMessageId);
    const LRESULT lines = SendMessageA(message, EM_GETLINECOUNT, 0, 0);
    const LRESULT first = SendMessageA(message, EM_GETFIRSTVISIBLELINE, 0, 0);
    RECT shown = {};
    SendMessageA(message, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&shown));
    const auto lineTop = [message](LRESULT line) {
        const LRESULT character = SendMessageA(message, EM_LINEINDEX, line, 0);
        return static_cast<short>(HIWORD(SendMessageA(message, EM_POSFROMCHAR, character, 0)));
    };
    const int lineHeight = lineTop(1) - lineTop(0);
    return first == 0 && lines > 1 && lineTop(lines - 1) + lineHeight <= shown.bottom;
}

}  // namespace

class BatchConfirmTest : public BatchDeleteTest {
protected:
    void SetUp() override {
        BatchDeleteTest::SetUp();
        writeTwins(kMixedTwins);
    }
    bool everyFileStays() const {
        for (const ListedTwin& twin : kMixedTwins) {
            if (!exists(twin.a) || !exists(twin.b)) return false;
        }
        return true;
    }
};

// The confirmation says what the run will do, and Enter, pressed as a user
// does, takes its default button: Cancel.
TEST_F(BatchConfirmTest, EnterRightAwayCancelsRemovesNothingAndKeepsTheList) {
    std::string start, cancel, message;
    bool pathLineHidden = false, messageInView = false;
    LRESULT defaultButton = 0;
    DialogAnswerer answers({{KESTROW_TITLE, 0, window(), [&](HWND dialog) {
                                 start = dialogItemText(dialog, IDOK);
                                 cancel = dialogItemText(dialog, IDCANCEL);
                                 message = dialogItemText(dialog, kPromptMessageId);
                                 pathLineHidden = !IsWindowVisible(GetDlgItem(dialog, kPromptProgressId));
                                 defaultButton = SendMessageA(dialog, DM_GETDEFID, 0, 0);
                                 messageInView = messageFits(dialog);
                                 saveScreenshot(dialog, "delete_all_confirmation");
                                 pressKeys({VK_RETURN});
                             }}});
    confirmDeleteAll('B', DeleteMode);
    EXPECT_TRUE(answers.finish());

    EXPECT_EQ(start, "Delete all files in Column B");
    EXPECT_EQ(cancel, "Cancel action and do nothing");
    EXPECT_EQ(message,
              "Deleting all files in a column can be dangerous if you are not sure what you are doing. "
              "Please be sure you are sure...\r\n\r\n2 files of Column B will be deleted for good.");
    EXPECT_TRUE(messageInView) << "every line of the message shows";
    EXPECT_EQ(LOWORD(defaultButton), IDCANCEL);
    EXPECT_EQ(HIWORD(defaultButton), DC_HASDEFID);
    EXPECT_TRUE(pathLineHidden);
    EXPECT_TRUE(everyFileStays());
    EXPECT_EQ(listedRows(), 5);
    EXPECT_EQ(app().runState, Idle);
}

TEST_F(BatchConfirmTest, ACancelBeforeTheWorkerRunsStopsItBeforeAnythingGoes) {
    pendingPresses = {IDOK, IDCANCEL};
    SetTimer(nullptr, 0, 20, pressTogether);
    std::string summary;
    DialogAnswerer answers = summaryAnswerer(summary);
    confirmDeleteAll('A', DeleteMode);
    EXPECT_TRUE(answers.finish());

    EXPECT_EQ(summary.rfind("Deleted 0 of ", 0), 0u) << summary;  // the plan may stand by then, or not
    EXPECT_TRUE(everyFileStays());
    EXPECT_EQ(listedRows(), 0);  // a started batch always ends with an empty list
    EXPECT_EQ(app().runState, Idle);
}

TEST_F(BatchConfirmTest, EnterOnTheHiddenStartButtonNeverStartsASecondWorker) {
    // Each Recycle worker takes one recycle list: count them.
    std::atomic<int> lists{0};
    app().allocateBlock = [&](std::size_t bytes) {
        ++lists;
        return static_cast<uint8_t*>(std::calloc(bytes, 1));
    };
    app().releaseBlock = [](uint8_t* block) { std::free(block); };
    pendingPresses = {IDOK, IDOK};
    SetTimer(nullptr, 0, 20, pressTogether);
    std::string summary;
    DialogAnswerer answers = summaryAnswerer(summary);
    confirmDeleteAll('A', RecycleMode);
    EXPECT_TRUE(answers.finish());

    EXPECT_EQ(summary, "Moved 2 of 2 files to the Recycle Bin. Kept 0.");
    EXPECT_EQ(lists, 1);
    EXPECT_FALSE(exists("a\\1.txt") || exists("a\\3.txt"));
    EXPECT_TRUE(exists("a\\2.txt"));
    EXPECT_EQ(app().runState, Idle);
}

TEST_F(BatchConfirmTest, WithoutMemoryForTheRecycleListNothingGoes) {
    app().allocateBlock = [](std::size_t) -> uint8_t* { return nullptr; };
    DialogAnswerer answers({{KESTROW_TITLE, IDOK, window()}, {KESTROW_TITLE, IDOK, window()}});
    confirmDeleteAll('A', RecycleMode);
    EXPECT_TRUE(answers.finish()) << "the summary follows";

    EXPECT_TRUE(everyFileStays());
    EXPECT_EQ(listedRows(), 0);
    EXPECT_EQ(app().runState, Idle);
}

TEST_F(BatchConfirmTest, CancelDuringALongRunStopsAfterTheRowInHand) {
    std::vector<ListedTwin> many;
    for (int i = 0; i < 60; ++i) {
        many.push_back({"a\\" + std::to_string(i), "b\\" + std::to_string(i), "100"});
    }
    writeTwins(many);

    std::string firstShown, summary;
    std::atomic<DWORD> cancelledAt{0};
    // Cancel once a later row than the first is shown: the first row has been acted on by then,
    // whatever the machine's load did to the two threads.
    DialogAnswerer answers(
        {{KESTROW_TITLE, IDCANCEL, window(),
          [&](HWND dialog) {
              PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
              std::string shown;
              while ((shown = dialogItemText(dialog, kPromptProgressId)).size() < 2 ||
                     shown == file("a\\0")) {
                  if (firstShown.size() < 2) firstShown = shown;
                  Sleep(1);
              }
              if (firstShown.size() < 2) firstShown = shown;
              cancelledAt = GetTickCount();
          }},
         {KESTROW_TITLE, IDOK, window(), [&](HWND box) { summary = dialogItemText(box, 0xFFFF); }}});
    confirmDeleteAll('A', DeleteMode);
    const DWORD closedAt = GetTickCount();
    EXPECT_TRUE(answers.finish());

    EXPECT_EQ(firstShown.rfind(file("a\\"), 0), 0u) << firstShown;  // a file of column A
    EXPECT_NE(summary.find(" of 60 files for good. Kept "), std::string::npos) << summary;
    EXPECT_NE(summary.find(" not reached after Cancel."), std::string::npos) << summary;
    // The one-second timer closes it; the bound only catches a dialog that waits for the whole batch.
    EXPECT_LT(closedAt - cancelledAt, 20000u);
    // The removed files are the first rows' and only those; the rest stay.
    std::size_t removed = 0;
    while (removed < many.size() && !exists(many[removed].a)) ++removed;
    EXPECT_GE(removed, 1u);  // the row in hand is finished
    EXPECT_LT(removed, many.size());
    for (std::size_t i = removed; i < many.size(); ++i) EXPECT_TRUE(exists(many[i].a)) << many[i].a;
    for (const ListedTwin& twin : many) EXPECT_TRUE(exists(twin.b));
    EXPECT_EQ(listedRows(), 0);
    EXPECT_EQ(app().runState, Idle);
}

// On a monitor of 144 DPI the warning is in a font scaled like the rest, and
// still shows in full.
TEST_F(BatchConfirmTest, AtHighDpiTheWarningGrowsWithTheDpiAndShowsInFull) {
    moveToDpi(window(), 144);
    LOGFONTA messageFont = {};
    bool messageInView = false;
    DialogAnswerer answers({{KESTROW_TITLE, IDCANCEL, window(), [&](HWND dialog) {
                                 const auto font = reinterpret_cast<HFONT>(
                                     SendDlgItemMessageA(dialog, kPromptMessageId, WM_GETFONT, 0, 0));
                                 GetObjectA(font, sizeof(messageFont), &messageFont);
                                 messageInView = messageFits(dialog);
                             }}});
    confirmDeleteAll('A', RecycleMode);
    EXPECT_TRUE(answers.finish());
    EXPECT_EQ(messageFont.lfHeight, 24);
    EXPECT_TRUE(messageInView);
    EXPECT_TRUE(everyFileStays());
}
