// "Delete File" in the action dialog: what is recycled and which rows go.
#include <cstdlib>

#include "tests/gui/twin_list_fixture.h"

namespace {

// The Linux trash Wine's recycle bin moves files into, as a Windows path;
// empty when the environment does not name it.
std::string trashFilesFolder() {
    std::string base;
    if (const char* data = std::getenv("XDG_DATA_HOME")) {
        base = std::string("Z:") + data;
    } else if (const char* home = std::getenv("WINEHOMEDIR")) {
        base = home;  // "\\??\\Z:\\root"
        base = base.substr(base.find(':') - 1) + "\\.local\\share";
    } else {
        return "";
    }
    std::string folder = base + "\\Trash\\files\\";
    for (char& c : folder) c = c == '/' ? '\\' : c;
    return folder;
}

std::string fileName(const std::string& path) {
    return path.substr(path.find_last_of('\\') + 1);
}

// True when the file went to the trash rather than being destroyed; the trashed copy is removed.
bool takeFromTrash(const std::string& path) {
    const std::string trash = trashFilesFolder();
    if (trash.empty()) return true;  // nowhere to look: only the folder check holds
    const std::string trashed = trash + fileName(path);
    const bool there = fileExists(trashed);
    DeleteFileA(trashed.c_str());
    const std::string info = trash.substr(0, trash.size() - 6) + "info\\" + fileName(path) + ".trashinfo";
    DeleteFileA(info.c_str());
    return there;
}

class DeleteFileTest : public TwinListTest {
protected:
    std::string unique(const char* name) {
        return "kestrow_" + std::to_string(GetCurrentProcessId()) + "_" + name;
    }
};

}  // namespace

TEST_F(DeleteFileTest, DeletingFileBRecyclesItShowsTheNextPairAndClosesAfterTheLast) {
    const std::string a1 = writeFile(unique("a1.bin"), 20), b1 = writeFile(unique("b1.bin"), 20);
    const std::string a2 = writeFile(unique("a2.bin"), 30), b2 = writeFile(unique("b2.bin"), 30);
    listPairs({{a1, b1, "100"}, {a2, b2, "100"}});
    focusRow(1);
    bool secondShown = false;
    int confirmations = 0;
    DialogScript script([&] {
        HWND dialog = awaitDialog("Duplicate File Action");
        if (!dialog) return;
        pressButton(dialog, 1032);
        confirmations += answerDeleteConfirmations(dialog, IDYES);
        secondShown = awaitItemText(dialog, 1011, b2);
        pressButton(dialog, 1032);
        confirmations += answerDeleteConfirmations(dialog, IDYES);
        awaitGone(dialog);
    });
    doubleClick();
    EXPECT_TRUE(script.finish());  // closed by itself after the last pair
    EXPECT_TRUE(secondShown);
    EXPECT_EQ(confirmations, 2);
    EXPECT_FALSE(fileExists(b1));
    EXPECT_FALSE(fileExists(b2));
    EXPECT_TRUE(fileExists(a1));
    EXPECT_TRUE(fileExists(a2));
    EXPECT_TRUE(takeFromTrash(b1));
    EXPECT_TRUE(takeFromTrash(b2));
    EXPECT_EQ(column(0), (std::vector<std::string>{"Start", "End"}));
    EXPECT_EQ(app().twinCount, 0u);
    EXPECT_EQ(app().runState, Idle);
}

TEST_F(DeleteFileTest, RowsWhoseFileAIsGoneArePassedOverAndTheDeleteActsOnTheShownRow) {
    const std::string goneA1 = dataFolder() + "gone_a1.bin", goneA2 = dataFolder() + "gone_a2.bin";
    const std::string b1 = writeFile(unique("pb1.bin"), 4), b2 = writeFile(unique("pb2.bin"), 4);
    const std::string a3 = writeFile(unique("pa3.bin"), 6), b3 = writeFile(unique("pb3.bin"), 6);
    listPairs({{goneA1, b1, "100"}, {goneA2, b2, "100"}, {a3, b3, "100"}});
    focusRow(1);
    std::string shownA;
    DialogScript script([&] {
        HWND dialog = awaitDialog("Duplicate File Action");
        if (!dialog) return;
        shownA = dialogItemText(dialog, 1002);
        pressButton(dialog, 1029);
        answerDeleteConfirmations(dialog, IDYES);
        awaitGone(dialog);  // the closing row follows: nothing more to show
    });
    doubleClick();
    EXPECT_TRUE(script.finish());
    EXPECT_EQ(shownA, a3);
    EXPECT_FALSE(fileExists(a3));
    EXPECT_TRUE(takeFromTrash(a3));
    EXPECT_TRUE(fileExists(b1));
    EXPECT_TRUE(fileExists(b2));
    EXPECT_TRUE(fileExists(b3));
    EXPECT_EQ(column(0), (std::vector<std::string>{"Start", goneA1, goneA2, "End"}));
    EXPECT_EQ(app().twinCount, 2u);
}

TEST_F(DeleteFileTest, ADeclinedDeleteKeepsTheFileTheRowAndThePair) {
    const std::string a = writeFile(unique("da.bin"), 8), b = writeFile(unique("db.bin"), 8);
    listPairs({{a, b, "100"}});
    focusRow(1);
    std::string stillShown;
    DialogScript script([&] {
        HWND dialog = awaitDialog("Duplicate File Action");
        if (!dialog) return;
        pressButton(dialog, 1032);
        answerDeleteConfirmations(dialog, IDNO);
        stillShown = dialogItemText(dialog, 1011);
        pressButton(dialog, IDCANCEL);
        awaitGone(dialog);
    });
    doubleClick();
    EXPECT_TRUE(script.finish());
    EXPECT_EQ(stillShown, b);
    EXPECT_TRUE(fileExists(b));
    EXPECT_EQ(column(0), (std::vector<std::string>{"Start", a, "End"}));
    EXPECT_EQ(app().twinCount, 1u);
}

// The shell reports the error without marking the operation aborted: the row stays.
TEST_F(DeleteFileTest, AFailedDeleteKeepsTheRowAndThePair) {
    const std::string a = writeFile(unique("fa.bin"), 8), b = writeFile(unique("fb.bin"), 8);
    listPairs({{a, b, "100"}});
    focusRow(1);
    // Held open without delete sharing, so neither the trash nor a plain delete can take it.
    HANDLE held = CreateFileA(b.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::string stillShown;
    int confirmations = 0;
    DialogScript script([&] {
        HWND dialog = awaitDialog("Duplicate File Action");
        if (!dialog) return;
        pressButton(dialog, 1032);
        confirmations = answerDeleteConfirmations(dialog, IDYES);
        stillShown = dialogItemText(dialog, 1011);
        pressButton(dialog, IDCANCEL);
        awaitGone(dialog);
    });
    doubleClick();
    EXPECT_TRUE(script.finish());
    CloseHandle(held);
    EXPECT_GE(confirmations, 1);
    EXPECT_EQ(stillShown, b);
    EXPECT_TRUE(fileExists(b));
    EXPECT_EQ(column(0), (std::vector<std::string>{"Start", a, "End"}));
    EXPECT_EQ(app().twinCount, 1u);
}
