// File names outside the ANSI code page (Japanese, Greek with an emoji,
// accented Latin): with the UTF-8 code page of the manifest they are listed,
// shown, removed and saved by name like any other.
#include "tests/gui/twin_list_fixture.h"

#include <set>
#include <utility>

#include "resources/version.h"
#include "shell/settings.h"
#include "tests/gui/main_window_helpers.h"
#include "window/main_window.h"

namespace {

const char* const kNames[] = {
    "\xE3\x81\x93\xE3\x82\x93\xE3\x81\xAB\xE3\x81\xA1\xE3\x81\xAF.bin",                      // Japanese
    "\xCE\x95\xCE\xBB\xCE\xBB\xCE\xB7\xCE\xBD\xCE\xB9\xCE\xBA\xCE\xAC\xF0\x9F\x98\x80.bin",  // Greek, emoji
    "caf\xC3\xA9 na\xC3\xAFve.bin",                                                          // accented Latin
};

class ForeignNamesTest : public TwinListTest {
protected:
    void prepareSettings(Settings& settings) override {
        settings.searchMode = QuickDirMode;
        settings.useHash = 1;
        settings.batchDeleteMode = DeleteMode;
    }
    // Each name in folders "a" and "b" of a tree, a pair a size of its own.
    std::string writeTree() {
        const std::string tree = dataFolder() + "tree\\";
        CreateDirectoryA(tree.c_str(), nullptr);
        for (const char* side : {"a\\", "b\\"}) {
            CreateDirectoryA((tree + side).c_str(), nullptr);
            for (std::size_t i = 0; i < 3; ++i) writeFile(std::string("tree\\") + side + kNames[i], 10 + i);
        }
        return tree;
    }
};

}  // namespace

TEST_F(ForeignNamesTest, AQuickDirSearchListsShowsAndDeletesThemByName) {
    EXPECT_EQ(GetACP(), 65001u) << "the manifest asks for the UTF-8 code page";
    const std::string tree = writeTree();
    setBox(window(), kPathBoxAId, tree.substr(0, tree.size() - 1));  // paths then read tree\a\name
    clickAt(window(), startAbortPoint());
    ASSERT_TRUE(waitIdle());

    std::set<std::pair<std::string, std::string>> listed, expected;
    for (const char* name : kNames) {
        expected.insert({name, name});
        ASSERT_TRUE(fileExists(tree + "a\\" + name)) << name;
    }
    ASSERT_EQ(listRowCount(), 5);
    std::vector<std::string> columnA;
    for (int row = 1; row <= 3; ++row) {
        const std::string a = listCell(row, 0), b = listCell(row, 1);
        ASSERT_GT(a.size(), tree.size() + 2);
        ASSERT_GT(b.size(), tree.size() + 2);
        EXPECT_EQ(listCell(row, 2), "100");
        EXPECT_NE(a.substr(tree.size(), 1), b.substr(tree.size(), 1)) << "each pair spans a and b";
        listed.insert({a.substr(tree.size() + 2), b.substr(tree.size() + 2)});
        columnA.push_back(a);
    }
    EXPECT_EQ(listed, expected);

    // The action dialog shows both names; Delete ALL of column A in Delete mode.
    focusRow(1);
    std::string shownA, shownB;
    DialogAnswerer answers({{"Duplicate File Action", 1020, nullptr,
                             [&](HWND dialog) {
                                 shownA = dialogItemText(dialog, 1002);
                                 shownB = dialogItemText(dialog, 1011);
                             }},
                            {KESTROW_TITLE, IDOK, window()},
                            {KESTROW_TITLE, IDOK, window()}});  // the summary
    doubleClick();
    EXPECT_TRUE(answers.finish());
    EXPECT_EQ(shownA, columnA[0]);
    EXPECT_EQ(shownB.substr(tree.size() + 2), shownA.substr(tree.size() + 2));
    ASSERT_TRUE(pumpUntil([] { return app().runState == Idle; }, 20000));
    for (const std::string& removed : columnA) EXPECT_FALSE(fileExists(removed)) << removed;
    int kept = 0;
    for (const char* side : {"a\\", "b\\"})
        for (const char* name : kNames) kept += fileExists(tree + side + name) ? 1 : 0;
    EXPECT_EQ(kept, 3) << "only the files of column A are removed";
}

TEST_F(ForeignNamesTest, ASearchedFolderWithSuchANameComesBackAtTheNextStart) {
    const std::string folder = dataFolder() + kNames[1] + "\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    setBox(window(), kPathBoxAId, folder);
    clickAt(window(), startAbortPoint());
    ASSERT_TRUE(waitIdle());
    saveSettings();
    app().settings.pathA[0] = '\0';
    EXPECT_EQ(loadSettings(), 0u);
    EXPECT_EQ(std::string(app().settings.pathA), folder);
}
