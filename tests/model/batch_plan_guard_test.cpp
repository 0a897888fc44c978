#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "actions/last_copy_guard_model.h"
#include "tests/engine/compare_test_files.h"

TEST(BatchPlanGuard, AFileGoesOnlyWhileItsTwinStillHoldsTheContent) {
    TestFolder folder;
    const std::string file = folder.write("file.bin", "same content");
    const std::string twin = folder.write("twin.bin", "same content");
    EXPECT_TRUE(twinHoldsCopy(file.c_str(), twin.c_str()));

    const std::string longer = folder.write("longer.bin", "same content, and more");
    EXPECT_FALSE(twinHoldsCopy(file.c_str(), longer.c_str()));
    // Rewritten after the search with other bytes of the same size: the last byte,
    // and a difference past the first read of a large file.
    const std::string rewritten = folder.write("rewritten.bin", "same contenT");
    EXPECT_FALSE(twinHoldsCopy(file.c_str(), rewritten.c_str()));
    std::string large(3 << 20, 'x');
    const std::string largeFile = folder.write("large.bin", large);
    large[(3 << 20) - 2] = 'y';
    EXPECT_FALSE(twinHoldsCopy(largeFile.c_str(), folder.write("large2.bin", large).c_str()));
    EXPECT_FALSE(twinHoldsCopy(file.c_str(), folder.path("gone.bin").c_str()));
    EXPECT_FALSE(twinHoldsCopy(file.c_str(), ""));
    EXPECT_FALSE(twinHoldsCopy(folder.path("gone.bin").c_str(), twin.c_str()));
    EXPECT_FALSE(twinHoldsCopy(file.c_str(), folder.root().string().c_str()));  // a folder is no copy

    // Two names of one physical file are one copy.
    EXPECT_FALSE(twinHoldsCopy(file.c_str(), file.c_str()));
    std::filesystem::create_hard_link(file, folder.path("link.bin"));
    EXPECT_FALSE(twinHoldsCopy(file.c_str(), folder.path("link.bin").c_str()));

    std::filesystem::remove(twin);
    EXPECT_FALSE(twinHoldsCopy(file.c_str(), twin.c_str()));
}

TEST(BatchPlanGuard, OneHandOverNeverTakesBothFilesOfAPair) {
    TestFolder folder;
    const std::string a = folder.write("a", "abc");
    const std::string b = folder.write("b", "abc");
    const std::string c = folder.write("c", "abc");

    HandOverGuard crossed;
    EXPECT_TRUE(crossed.admit(a.c_str(), b.c_str()));
    EXPECT_FALSE(crossed.admit(b.c_str(), a.c_str()));  // a is already going
    EXPECT_FALSE(crossed.admit(a.c_str(), c.c_str()));  // listed once is enough
    EXPECT_TRUE(crossed.admit(c.c_str(), b.c_str()));   // b stays and keeps both

    HandOverGuard missingTwin;
    EXPECT_FALSE(missingTwin.admit(a.c_str(), folder.path("gone").c_str()));
    HandOverGuard changedTwin;
    EXPECT_FALSE(changedTwin.admit(a.c_str(), folder.write("d", "abd").c_str()));
}

namespace {

// What the search learns of a file when it opens it.
TwinFileFacts learnt(const std::string& path) {
    TwinFileFacts facts;
    const fs::OwnedFile file = fs::openRead(path.c_str());
    facts.size = fs::fileSize(file.get());
    facts.lastWriteTime = fs::lastWriteTime(file.get());
    facts.identityKnown = fs::openFileIdentity(file.get(), facts.identity);
    return facts;
}

}  // namespace

// A file changed since the search, though it may hold the same bytes again,
// is kept without its content being looked at.
TEST(BatchPlanGuard, AFileChangedSinceTheSearchIsKept) {
    TestFolder folder;
    const std::string file = folder.write("file.bin", "same content");
    const TwinFileFacts facts = learnt(file);
    EXPECT_TRUE(stillAsSearched(file.c_str(), facts));
    EXPECT_TRUE(stillAsSearched(file.c_str(), TwinFileFacts{}));  // nothing learnt: the full check decides

    TwinFileFacts otherSize = facts;
    otherSize.size += 1;
    EXPECT_FALSE(stillAsSearched(file.c_str(), otherSize));
    std::filesystem::last_write_time(file, std::filesystem::last_write_time(file) + std::chrono::hours(1));
    EXPECT_FALSE(stillAsSearched(file.c_str(), facts));
    // Replaced by another file of the same bytes and time: another identity.
    const TwinFileFacts retimed = learnt(file);
    const std::string copy = folder.write("copy.bin", "same content");
    std::filesystem::last_write_time(copy, std::filesystem::last_write_time(file));
    std::filesystem::rename(copy, file);
    EXPECT_FALSE(stillAsSearched(file.c_str(), retimed));
    std::filesystem::remove(file);
    EXPECT_FALSE(stillAsSearched(file.c_str(), retimed));
}
