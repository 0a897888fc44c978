// The "Delete ALL" confirmation: its texts, and every way of stopping it.
#include <atomic>
#include <cstdlib>

#include "resources/resource_ids.h"
#include "resources/version.h"
#include "tests/gui/batch_delete_fixture.h"

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

TEST_F(BatchConfirmTest, CancelRightAwayRemovesNothingAndKeepsTheList) {
    std::string start, cancel, warning;
    bool pathLineHidden = false;
    DialogAnswerer answers({{KESTROW_TITLE, IDCANCEL, window(), [&](HWND dialog) {
                                 start = dialogItemText(dialog, IDOK);
                                 cancel = dialogItemText(dialog, IDCANCEL);
                                 warning = dialogItemText(dialog, kPromptMessageId);
                                 pathLineHidden = !IsWindowVisible(GetDlgItem(dialog, kPromptProgressId));
                                 saveScreenshot(dialog, "delete_all_confirmation");
                             }}});
    confirmDeleteAll('B', DeleteMode);
    EXPECT_TRUE(answers.finish());

    EXPECT_EQ(start, "Delete all files in Column B");
    EXPECT_EQ(cancel, "Cancel action and do nothing");
    EXPECT_EQ(warning,
              "Deleting all files in a column can be dangerous if you are not sure what you are doing. "
              "Please be sure you are sure...");
    EXPECT_TRUE(pathLineHidden);
    EXPECT_TRUE(everyFileStays());
    EXPECT_EQ(listedRows(), 5);
    EXPECT_EQ(app().runState, Idle);
}

TEST_F(BatchConfirmTest, ACancelBeforeTheWorkerRunsStopsItBeforeAnythingGoes) {
    pendingPresses = {IDOK, IDCANCEL};
    SetTimer(nullptr, 0, 20, pressTogether);
    confirmDeleteAll('A', DeleteMode);

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
    confirmDeleteAll('A', RecycleMode);

    EXPECT_EQ(lists, 1);
    EXPECT_FALSE(exists("a\\1.txt") || exists("a\\3.txt"));
    EXPECT_TRUE(exists("a\\2.txt"));
    EXPECT_EQ(app().runState, Idle);
}

TEST_F(BatchConfirmTest, WithoutMemoryForTheRecycleListNothingGoes) {
    app().allocateBlock = [](std::size_t) -> uint8_t* { return nullptr; };
    DialogAnswerer answers({{KESTROW_TITLE, IDOK, window()}});
    confirmDeleteAll('A', RecycleMode);
    EXPECT_TRUE(answers.finish());

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

    std::string firstShown;
    std::atomic<DWORD> cancelledAt{0};
    // Cancel once a later row than the first is shown: the first row has been acted on by then,
    // whatever the machine's load did to the two threads.
    DialogAnswerer answers({{KESTROW_TITLE, IDCANCEL, window(), [&](HWND dialog) {
                                 PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                                 std::string shown;
                                 while ((shown = dialogItemText(dialog, kPromptProgressId)).size() < 2 ||
                                        shown == file("a\\0")) {
                                     if (firstShown.size() < 2) firstShown = shown;
                                     Sleep(1);
                                 }
                                 if (firstShown.size() < 2) firstShown = shown;
                                 cancelledAt = GetTickCount();
                             }}});
    confirmDeleteAll('A', DeleteMode);
    const DWORD closedAt = GetTickCount();
    EXPECT_TRUE(answers.finish());

    EXPECT_EQ(firstShown.rfind(file("a\\"), 0), 0u) << firstShown;  // a file of column A
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
