// The settings file image: layout, defaults, round trip and damaged files.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "shell/restore_model.h"
#include "shell/settings_model.h"

namespace {

uint32_t readU32(const std::vector<uint8_t>& image, std::size_t offset) {
    return image[offset] | image[offset + 1] << 8 | image[offset + 2] << 16 |
           static_cast<uint32_t>(image[offset + 3]) << 24;
}

void writeU32(std::vector<uint8_t>& image, std::size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i) image[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

std::vector<uint8_t> imageOf(const Settings& settings) {
    std::vector<uint8_t> image(kSettingsFileSize);
    serialiseSettings(settings, image.data());
    return image;
}

Settings defaults() {
    Settings settings;
    applyDefaultSettings(settings);
    return settings;
}

// A block with a distinct value in every field, the reserved bytes included.
Settings everyFieldSet() {
    Settings s = defaults();
    s.searchMode = QuickDirMode;
    s.onTop = 1;
    s.matchPercent = 97;
    s.reserved20 = 0xA1B2C3D4;
    s.transparent = 1;
    s.useHash = 0;
    s.batchDeleteMode = MoveToMode;
    s.alpha = 200;
    s.overrideReadOnly = 1;
    for (std::size_t i = 0; i < sizeof(s.reserved44); ++i) s.reserved44[i] = static_cast<uint8_t>(0x40 + i);
    std::strcpy(s.moveDirectory, "D:\\Moved\\");
    for (std::size_t i = 0; i < sizeof(s.windowPlacement); ++i)
        s.windowPlacement[i] = static_cast<uint8_t>(i + 1);
    std::strcpy(s.pathA, "C:\\Photos\\a.jpg");
    std::strcpy(s.pathB, "C:\\Photos\\b.jpg");
    std::memcpy(s.statusTail, "Indexing....", 12);
    s.statusTail[95] = 0x7F;
    return s;
}

bool sameBlock(const Settings& a, const Settings& b) {
    return std::memcmp(&a, &b, sizeof(a)) == 0;
}

}  // namespace

TEST(SettingsFile, FieldsSitAtTheirFileOffsets) {
    std::vector<uint8_t> image = imageOf(everyFieldSet());
    ASSERT_EQ(image.size(), 2008u);
    EXPECT_EQ(std::memcmp(image.data(), "KEST1300", 8), 0);
    EXPECT_EQ(readU32(image, 8), 2u);
    EXPECT_EQ(readU32(image, 12), 1u);
    EXPECT_EQ(readU32(image, 16), 97u);
    EXPECT_EQ(readU32(image, 20), 0xA1B2C3D4u);
    EXPECT_EQ(readU32(image, 24), 1u);
    EXPECT_EQ(readU32(image, 28), 0u);
    EXPECT_EQ(readU32(image, 32), 2u);
    EXPECT_EQ(readU32(image, 36), 200u);
    EXPECT_EQ(readU32(image, 40), 1u);
    EXPECT_EQ(image[44], 0x40);
    EXPECT_EQ(image[67], 0x40 + 23);
    EXPECT_STREQ(reinterpret_cast<const char*>(&image[68]), "D:\\Moved\\");
    EXPECT_EQ(image[668], 1);
    EXPECT_EQ(image[711], 44);
    EXPECT_STREQ(reinterpret_cast<const char*>(&image[712]), "C:\\Photos\\a.jpg");
    EXPECT_STREQ(reinterpret_cast<const char*>(&image[1312]), "C:\\Photos\\b.jpg");
    EXPECT_EQ(std::memcmp(&image[1912], "Indexing....", 12), 0);
    EXPECT_EQ(image[2007], 0x7F);
}

TEST(SettingsFile, DefaultsAreFileModeHashOnMatch95Alpha75AndEverythingElseZero) {
    std::vector<uint8_t> image = imageOf(defaults());
    for (std::size_t offset = 8; offset < image.size(); offset += 4) {
        uint32_t expected = 0;
        if (offset == 16) expected = 95;
        if (offset == 28) expected = 1;
        if (offset == 36) expected = 75;
        EXPECT_EQ(readU32(image, offset), expected) << "offset " << offset;
    }
}

TEST(SettingsFile, AGoodFileLoadsUnchangedReservedBytesAndStatusTailIncluded) {
    Settings original = everyFieldSet();
    std::vector<uint8_t> image = imageOf(original);
    Settings loaded = defaults();
    ASSERT_TRUE(parseSettingsFile(image.data(), image.size(), loaded));
    EXPECT_TRUE(sameBlock(loaded, original));
    EXPECT_EQ(imageOf(loaded), image);
}

TEST(SettingsFile, BoundaryValuesAreSound) {
    for (uint32_t mode : {0u, 1u, 2u}) {
        for (uint32_t percent : {1u, 50u, 100u}) {
            Settings s = defaults();
            s.searchMode = mode;
            s.matchPercent = percent;
            std::vector<uint8_t> image = imageOf(s);
            Settings loaded;
            EXPECT_TRUE(parseSettingsFile(image.data(), image.size(), loaded)) << mode << " " << percent;
            EXPECT_TRUE(sameBlock(loaded, s));
        }
    }
}

TEST(SettingsFile, ALongerFileLoadsItsFirst2008Bytes) {
    Settings original = everyFieldSet();
    std::vector<uint8_t> image = imageOf(original);
    image.resize(3000, 0xEE);
    Settings loaded;
    ASSERT_TRUE(parseSettingsFile(image.data(), image.size(), loaded));
    EXPECT_TRUE(sameBlock(loaded, original));
}

TEST(SettingsFile, DamagedFilesAreRefusedAndLeaveTheBlockUntouched) {
    const std::vector<uint8_t> good = imageOf(everyFieldSet());
    struct Damage {
        const char* what;
        std::vector<uint8_t> image;
    };
    std::vector<Damage> damages;
    auto with = [&](const char* what, auto change) {
        std::vector<uint8_t> image = good;
        change(image);
        damages.push_back({what, image});
    };
    with("empty", [](std::vector<uint8_t>& i) { i.clear(); });
    with("magic only", [](std::vector<uint8_t>& i) { i.resize(8); });
    with("one byte short", [](std::vector<uint8_t>& i) { i.resize(2007); });
    with("other version", [](std::vector<uint8_t>& i) { i[7] = '1'; });
    with("other magic", [](std::vector<uint8_t>& i) { i[0] = 'X'; });
    with("search mode 3", [](std::vector<uint8_t>& i) { writeU32(i, 8, 3); });
    with("search mode huge", [](std::vector<uint8_t>& i) { writeU32(i, 8, 0xFFFFFFFF); });
    with("match 0", [](std::vector<uint8_t>& i) { writeU32(i, 16, 0); });
    with("match 101", [](std::vector<uint8_t>& i) { writeU32(i, 16, 101); });
    for (const Damage& damage : damages) {
        Settings block = defaults();
        EXPECT_FALSE(parseSettingsFile(damage.image.data(), damage.image.size(), block)) << damage.what;
        EXPECT_TRUE(sameBlock(block, defaults())) << damage.what;
    }
}

TEST(SettingsFile, StatusTailCarriesTheFirst96BytesOfTheStatusText) {
    Settings s = defaults();
    PathText status = {};
    std::memset(status, 'x', 200);
    captureStatusTail(s, status);
    EXPECT_EQ(s.statusTail[95], 'x');

    PathText restored = {};
    restoreStatusTail(s, restored);
    EXPECT_EQ(std::strlen(restored), 96u);

    std::strcpy(status, "End 3");
    captureStatusTail(s, status);
    restoreStatusTail(s, restored);
    EXPECT_STREQ(restored, "End 3");

    // A character that straddles byte 96 is left out of the shown text, not halved.
    std::memset(status, 'x', 95);
    std::strcpy(status + 95, "\xE6\x97\xA5 rest");
    captureStatusTail(s, status);
    EXPECT_EQ(static_cast<uint8_t>(s.statusTail[95]), 0xE6);
    restoreStatusTail(s, restored);
    EXPECT_EQ(std::strlen(restored), 95u);
}

TEST(SettingsFile, ProgramFolderIsCutAfterTheLastBackslash) {
    PathText folder;
    folderOfPath("C:\\Tools\\Kestrow\\Kestrow.exe", folder);
    EXPECT_STREQ(folder, "C:\\Tools\\Kestrow\\");
    folderOfPath("E:\\Kestrow.exe", folder);
    EXPECT_STREQ(folder, "E:\\");
    folderOfPath("", folder);
    EXPECT_STREQ(folder, "");
    folderOfPath("Kestrow.exe", folder);
    EXPECT_STREQ(folder, "Kestrow.exe");
}

TEST(RestoredWindow, APlacementTooSmallOffScreenOrAbsurdIsNotRestored) {
    const std::vector<ScreenRect> screens = {{0, 0, 1280, 984}, {1280, 0, 2560, 1024}};
    EXPECT_TRUE(placementRestorable({40, 30, 640, 530}, screens));
    EXPECT_TRUE(placementRestorable({2400, 900, 2600, 1050}, screens));  // a corner on the second screen
    EXPECT_TRUE(placementRestorable({-300, -100, -100, 50}, {{-1280, -200, 0, 800}}));
    EXPECT_FALSE(placementRestorable({40, 30, 144, 31}, screens));                // 104 x 1
    EXPECT_FALSE(placementRestorable({40, 30, 239, 530}, screens));               // 199 wide
    EXPECT_FALSE(placementRestorable({640, 530, 40, 30}, screens));               // inverted
    EXPECT_FALSE(placementRestorable({3000, 30, 3600, 530}, screens));            // beyond every screen
    EXPECT_FALSE(placementRestorable({0, 984, 600, 1400}, {{0, 0, 1280, 984}}));  // below the work area
    EXPECT_FALSE(placementRestorable({-2000000000, -2000000000, 2000000000, 2000000000}, screens));
    EXPECT_FALSE(placementRestorable({40, 30, 640, 530}, {}));
}

TEST(RestoredWindow, ATransparentWindowStaysVisible) {
    EXPECT_EQ(appliedOpacity(0), 26);
    EXPECT_EQ(appliedOpacity(25), 26);
    EXPECT_EQ(appliedOpacity(26), 26);
    EXPECT_EQ(appliedOpacity(75), 75);
    EXPECT_EQ(appliedOpacity(255), 255);
    EXPECT_EQ(appliedOpacity(256), 255);
}
