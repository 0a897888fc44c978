// Loading and saving the settings file in the data folder.
#include "tests/gui/gui_harness.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "resources/version.h"
#include "shell/settings.h"
#include "shell/settings_model.h"

namespace {

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetProgramState();
        folder_ = makeTempFolder();
        copyPathText(gui().dataDirectory, folder_.c_str());
    }
    void TearDown() override {
        closeTestWindow();
        removeTempFolder(folder_);
        resetProgramState();
    }
    std::string path() const { return folder_ + KESTROW_SETTINGS_FILE; }
    void write(const std::vector<uint8_t>& bytes) const {
        std::ofstream file(path(), std::ios::binary);
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    // A good settings file whose saved placement has `normal` as its normal rectangle.
    void writePlacement(const RECT& normal) const;
    std::vector<uint8_t> read() const {
        std::ifstream file(path(), std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    std::string folder_;
};

std::vector<uint8_t> goodImage() {
    Settings settings;
    applyDefaultSettings(settings);
    settings.searchMode = DirectoryMode;
    settings.matchPercent = 99;
    settings.reserved20 = 0x01020304;
    std::memset(settings.reserved44, 0x5A, sizeof(settings.reserved44));
    std::strcpy(settings.pathA, "C:\\Data\\");
    std::memcpy(settings.statusTail, "End 4", 5);
    settings.statusTail[50] = 'x';  // left over from a longer status text
    std::vector<uint8_t> image(kSettingsFileSize);
    serialiseSettings(settings, image.data());
    return image;
}

}  // namespace

TEST_F(SettingsFileTest, AGoodFileLoadsAndIsWrittenBackByteForByte) {
    std::vector<uint8_t> image = goodImage();
    write(image);
    EXPECT_EQ(loadSettings(), 0u);
    EXPECT_EQ(app().settings.matchPercent, 99u);
    PathText status;
    app().currentFileText.read(status);
    EXPECT_STREQ(status, "End 4");
    DeleteFileA(path().c_str());
    EXPECT_TRUE(saveSettings());
    EXPECT_EQ(read(), image);

    copyPathText(gui().dataDirectory, (folder_ + "missing\\").c_str());
    EXPECT_FALSE(saveSettings()) << "a file that cannot be made is no save";
}

TEST_F(SettingsFileTest, NoFileOrADamagedOneStartsFromTheDefaults) {
    std::vector<std::vector<uint8_t>> damaged = {{}, goodImage(), goodImage(), goodImage()};
    damaged[1].resize(2000);
    damaged[2][3] = 'Z';
    damaged[3][16] = 0;  // match percent 0
    EXPECT_EQ(loadSettings(), 1u) << "no file";
    for (const auto& image : damaged) {
        write(image);
        app().settings.searchMode = QuickDirMode;
        EXPECT_EQ(loadSettings(), 1u);
        EXPECT_EQ(app().settings.searchMode, FileMode);
        EXPECT_EQ(app().settings.matchPercent, 95u);
        EXPECT_EQ(app().settings.useHash, 1u);
        EXPECT_EQ(app().settings.alpha, 75u);
        EXPECT_EQ(app().settings.pathA[0], '\0');
        PathText status;
        app().currentFileText.read(status);
        EXPECT_EQ(status[0], '\0');
    }
}

TEST_F(SettingsFileTest, ADamagedFileIsReplacedByAGoodOneAtTheNextClose) {
    std::vector<uint8_t> image = goodImage();
    image[8] = 9;  // search mode 9
    write(image);
    HWND window = openTestWindow(folder_);
    ASSERT_NE(window, nullptr);
    RECT frame;
    GetWindowRect(window, &frame);
    EXPECT_EQ(frame.left, (GetSystemMetrics(SM_CXSCREEN) - 520) / 2) << "a damaged file is a first run";
    SendMessageA(window, WM_CLOSE, 0, 0);
    Settings reloaded;
    std::vector<uint8_t> saved = read();
    ASSERT_TRUE(parseSettingsFile(saved.data(), saved.size(), reloaded));
    EXPECT_EQ(reloaded.searchMode, FileMode);
    EXPECT_EQ(reloaded.matchPercent, 95u);
}

void SettingsFileTest::writePlacement(const RECT& normal) const {
    std::vector<uint8_t> image = goodImage();
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    placement.showCmd = SW_SHOWNORMAL;
    placement.rcNormalPosition = normal;
    std::memcpy(&image[668], &placement, sizeof(placement));
    write(image);
}

TEST_F(SettingsFileTest, TheSavedPlacementIsRestored) {
    writePlacement({40, 30, 640, 530});
    HWND window = openTestWindow(folder_);
    ASSERT_NE(window, nullptr);
    RECT frame;
    GetWindowRect(window, &frame);
    EXPECT_EQ(frame.left, 40);
    EXPECT_EQ(frame.top, 30);
    EXPECT_EQ(frame.right - frame.left, 600);
    EXPECT_TRUE(IsWindowVisible(window));
}

TEST_F(SettingsFileTest, ADamagedPlacementGivesTheFirstRunPlacement) {
    const RECT damaged[] = {{40, 30, 144, 31}, {640, 530, 40, 30}, {30000, 30000, 30600, 30500}};
    for (const RECT& normal : damaged) {
        writePlacement(normal);
        HWND window = openTestWindow(folder_);
        ASSERT_NE(window, nullptr);
        RECT frame;
        GetWindowRect(window, &frame);
        EXPECT_EQ(frame.right - frame.left, 520);
        EXPECT_EQ(frame.bottom - frame.top, 400);
        EXPECT_EQ(frame.left, (GetSystemMetrics(SM_CXSCREEN) - 520) / 2);
        EXPECT_EQ(frame.top, (GetSystemMetrics(SM_CYSCREEN) - 400) / 2);
        closeTestWindow();
    }
}
