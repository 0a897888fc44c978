#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/base/fs.h"
#include "tests/engine/compare_test_files.h"

namespace {

struct Listed {
    std::string name;
    bool isFolder;
    uint64_t size;
};

std::vector<Listed> listAll(const std::string& folder, bool& listed) {
    std::vector<Listed> entries;
    listed = fs::listFolder(folder.c_str(), [&](const fs::FolderEntry& entry) {
        entries.push_back({entry.name, entry.isFolder, entry.size});
    });
    std::sort(entries.begin(), entries.end(),
              [](const Listed& a, const Listed& b) { return a.name < b.name; });
    return entries;
}

}  // namespace

TEST(FileSystem, OpensOnlyExistingFilesAndReadsWhatIsThere) {
    TestFolder folder;
    const std::string path = folder.write("five.bin", "abcde");
    EXPECT_FALSE(fs::openRead(folder.path("missing").c_str()));
    EXPECT_FALSE(fs::openRead(folder.root().string().c_str()));  // a folder is no file

    const fs::OwnedFile owned = fs::openRead(path.c_str());
    ASSERT_TRUE(owned);
    fs::File* file = owned.get();
    EXPECT_EQ(fs::fileSize(file), 5u);
    char buffer[16] = {};
    EXPECT_EQ(fs::readFile(file, buffer, 3), 3);
    EXPECT_EQ(std::string(buffer, 3), "abc");
    EXPECT_EQ(fs::readFile(file, buffer, 10), 2);  // only what is left
    EXPECT_EQ(std::string(buffer, 2), "de");
    EXPECT_EQ(fs::readFile(file, buffer, 10), 0);
}

TEST(FileSystem, ListsFilesWithSizesAndFoldersWithoutDots) {
    TestFolder folder;
    folder.write("b.bin", std::string(1234, 'x'));
    folder.write("a.bin", "");
    std::filesystem::create_directory(folder.path("sub"));
    bool listed = false;
    const std::vector<Listed> entries = listAll(folder.root().string(), listed);
    ASSERT_TRUE(listed);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].name, "a.bin");
    EXPECT_FALSE(entries[0].isFolder);
    EXPECT_EQ(entries[0].size, 0u);
    EXPECT_EQ(entries[1].name, "b.bin");
    EXPECT_EQ(entries[1].size, 1234u);
    EXPECT_EQ(entries[2].name, "sub");
    EXPECT_TRUE(entries[2].isFolder);

    EXPECT_FALSE(fs::listFolder(folder.path("missing").c_str(), [](const fs::FolderEntry&) {}));
}

#ifndef _WIN32
TEST(FileSystem, ListsALinkToAFolderAsAFolderInNameOrder) {
    TestFolder folder;
    std::filesystem::create_directory(folder.path("real"));
    std::filesystem::create_directory_symlink(folder.path("real"), folder.path("link"));
    folder.write("z.bin", "z");
    std::vector<std::string> order;
    std::vector<bool> folders;
    ASSERT_TRUE(fs::listFolder(folder.root().string().c_str(), [&](const fs::FolderEntry& entry) {
        order.push_back(entry.name);
        folders.push_back(entry.isFolder);
    }));
    EXPECT_EQ(order, (std::vector<std::string>{"link", "real", "z.bin"}));
    EXPECT_EQ(folders, (std::vector<bool>{true, true, false}));
}

TEST(FileSystem, APipeIsNeitherOpenedNorListed) {
    TestFolder folder;
    ASSERT_EQ(::mkfifo(folder.path("pipe").c_str(), 0600), 0);
    EXPECT_FALSE(fs::openRead(folder.path("pipe").c_str()));  // returns at once, no writer needed
    int entries = 0;
    ASSERT_TRUE(fs::listFolder(folder.root().string().c_str(), [&](const fs::FolderEntry&) { ++entries; }));
    EXPECT_EQ(entries, 0);
}
#endif

TEST(FileSystem, IdentityTellsOneFileFromAnother) {
    TestFolder folder;
    const std::string a = folder.write("a.bin", "same");
    const std::string b = folder.write("b.bin", "same");
    std::filesystem::create_hard_link(a, folder.path("hard.bin"));
    fs::FileIdentity identityA, identityB, identityLink, identityAgain;
    ASSERT_TRUE(fs::fileIdentity(a.c_str(), identityA));
    ASSERT_TRUE(fs::fileIdentity(b.c_str(), identityB));
    ASSERT_TRUE(fs::fileIdentity(folder.path("hard.bin").c_str(), identityLink));
    ASSERT_TRUE(fs::fileIdentity(a.c_str(), identityAgain));
    EXPECT_FALSE(identityA == identityB);
    EXPECT_TRUE(identityA == identityLink);
    EXPECT_TRUE(identityA == identityAgain);
    EXPECT_FALSE(fs::fileIdentity(folder.path("missing").c_str(), identityA));
}

TEST(FileSystem, RemovesOnlyEmptyFoldersAndResetsReadOnly) {
    TestFolder folder;
    std::filesystem::create_directories(folder.path("full"));
    folder.write("full/keep.bin", "keep");
    std::filesystem::create_directories(folder.path("empty"));
    EXPECT_FALSE(fs::removeFolder(folder.path("full").c_str()));
    EXPECT_TRUE(fs::pathExists(folder.path("full/keep.bin").c_str()));
    EXPECT_TRUE(fs::removeFolder(folder.path("empty").c_str()));
    EXPECT_FALSE(fs::pathExists(folder.path("empty").c_str()));

    const std::string locked = folder.write("locked.bin", "x");
    std::filesystem::permissions(locked, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    EXPECT_TRUE(fs::resetAttributes(locked.c_str()));
    const auto perms = std::filesystem::status(locked).permissions();
    EXPECT_NE(perms & std::filesystem::perms::owner_write, std::filesystem::perms::none);
}
