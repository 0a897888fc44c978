#include <gtest/gtest.h>

#include "window/cell_text_model.h"

namespace {

// Every byte one unit wide.
int byteWidth(const char*, std::size_t length) {
    return static_cast<int>(length);
}

}  // namespace

TEST(PathCell, IsCutInTheMiddleSoTheFileNameStays) {
    const char* path = "C:\\data\\sub1\\copy1.bin";
    EXPECT_EQ(middleCutText(path, 100, byteWidth), path);
    EXPECT_EQ(middleCutText(path, 22, byteWidth), path);
    EXPECT_EQ(middleCutText(path, 21, byteWidth), "C:\\data\\...\\copy1.bin");
    EXPECT_EQ(middleCutText(path, 16, byteWidth), "C:\\...\\copy1.bin");
    EXPECT_EQ(middleCutText(path, 13, byteWidth), "...\\copy1.bin");
    // A file name wider than the cell keeps its end.
    EXPECT_EQ(middleCutText(path, 8, byteWidth), "...1.bin");
    EXPECT_EQ(middleCutText(path, 2, byteWidth), "...");
    // A text without a backslash is cut at its end.
    EXPECT_EQ(middleCutText("1234 files found.", 10, byteWidth), "1234 fi...");
}

TEST(PathCell, NeverSplitsACharacter) {
    const std::string path = "C:\\\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\\f.bin";  // four two-byte letters
    EXPECT_EQ(middleCutText(path.c_str(), 13, byteWidth), "C:\\...\\f.bin");
    EXPECT_EQ(middleCutText(path.c_str(), 14, byteWidth), "C:\\\xC3\xA9...\\f.bin");
}
