#include <gtest/gtest.h>

#include <vector>

#include "engine/index/file_hash.h"
#include "engine/job/run_state.h"
#include "tests/engine/compare_test_files.h"

TEST(HashFile, GivesTheChecksumsOfShortFiles) {
    TestFolder folder;
    EXPECT_EQ(hashFile(folder.write("empty", "").c_str()), 0x00010000u);
    EXPECT_EQ(hashFile(folder.write("one", "x").c_str()), 0x00010001u);
    EXPECT_EQ(hashFile(folder.write("two", "xy").c_str()), 0x00010001u);
    EXPECT_EQ(hashFile(folder.write("abc", "abc").c_str()), 0x63016301u);
    EXPECT_EQ(hashFile(folder.write("abcd", "abcd").c_str()), 0x62626262u);
    EXPECT_EQ(hashFile(folder.write("abcdefgh", "abcdefgh").c_str()), 0xC8C72B29u);
    EXPECT_EQ(hashFile(folder.path("missing").c_str()), 0u);
}

TEST(HashFile, IgnoresTheUpperTwoBytesOfEachWord) {
    TestFolder folder;
    const uint32_t plain = hashFile(folder.write("a", "abcdefgh").c_str());
    EXPECT_EQ(hashFile(folder.write("b", "abXdefYh").c_str()), plain);
    EXPECT_EQ(hashFile(folder.write("c", "abcZefgh").c_str()), plain);
    EXPECT_NE(hashFile(folder.write("d", "aXcdefgh").c_str()), plain);
}

TEST(HashFile, SameValueWhateverTheReadPieceSize) {
    TestFolder folder;
    std::vector<uint8_t> bytes(100003);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7919 + (i >> 9));
    const std::string path = folder.write("long", bytes);
    const uint32_t whole = hashFile(path.c_str());

    for (uint32_t piece : {4u, 8u, 4096u, 65536u}) {
        std::vector<uint8_t> buffer(piece);
        const fs::OwnedFile file = fs::openRead(path.c_str());
        ASSERT_TRUE(file);
        EXPECT_EQ(hashOpenFile(file.get(), buffer.data(), piece, nullptr), whole) << piece;
    }
}

TEST(HashFile, StopsBeforeTheFirstChunkOnAbort) {
    TestFolder folder;
    std::atomic<uint32_t> runControl{AbortRequested};
    EXPECT_EQ(hashFile(folder.write("abcd", "abcd").c_str(), &runControl), 0x00010000u);
}
