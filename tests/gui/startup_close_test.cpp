// Closing the main window: idle, and during a job with the prompt's two answers.
#include "tests/gui/gui_harness.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "resources/version.h"

namespace {

std::vector<char> fileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool fileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A stand-in job: runs until asked to abort, then winds down and reports Idle.
class FakeJob {
public:
    FakeJob() {
        app().runState = Comparing;
        worker_.start([this] {
            while (app().runControl != AbortRequested && !stop_) Sleep(10);
            Sleep(300);
            app().runState = Idle;
            app().runControl = Running;
            stopped_ = true;
        });
    }
    ~FakeJob() {
        stop_ = true;
        worker_.join();
    }
    bool stopped() const { return stopped_; }

private:
    std::atomic<bool> stop_{false};
    std::atomic<bool> stopped_{false};
    WorkerThread worker_;
};

}  // namespace

class CloseTest : public GuiTest {
protected:
    std::string settingsFile() const { return dataFolder() + KESTROW_SETTINGS_FILE; }
};

TEST_F(CloseTest, ClosingWhileIdleWritesTheSettingsFileAndEndsTheLoop) {
    HWND mainWindow = window();
    app().settings.matchPercent = 90;
    SendMessageA(mainWindow, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(mainWindow));
    std::vector<char> bytes = fileBytes(settingsFile());
    ASSERT_EQ(bytes.size(), 2008u);
    EXPECT_EQ(std::string(bytes.data(), 8), KESTROW_SETTINGS_MAGIC);
    EXPECT_EQ(bytes[16], 90);
    WINDOWPLACEMENT placement;
    std::memcpy(&placement, &bytes[668], sizeof(placement));
    EXPECT_EQ(placement.length, sizeof(placement));
    EXPECT_EQ(placement.rcNormalPosition.right - placement.rcNormalPosition.left, 520);
    MSG quit;
    EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(CloseTest, DontCloseKeepsTheJobRunning) {
    FakeJob job;
    std::string message;
    DialogAnswerer answers({{KESTROW_TITLE, IDCANCEL, window(), [&](HWND prompt) {
                                 message = dialogItemText(prompt, 1601);
                                 EXPECT_EQ(dialogItemText(prompt, IDOK), "I know, close anyway.");
                                 EXPECT_EQ(dialogItemText(prompt, IDCANCEL), "Don't close.");
                                 saveScreenshot(prompt, "close_prompt");
                             }}});
    SendMessageA(window(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(answers.finish());
    EXPECT_EQ(message,
              "Kestrow is in the middle of a search. If you stop now you will need to start again from the "
              "beginning.");
    pumpFor(1100);
    EXPECT_TRUE(IsWindow(window()));
    EXPECT_EQ(app().runState, Comparing);
    EXPECT_EQ(app().runControl, Running);
    EXPECT_FALSE(job.stopped());
    EXPECT_FALSE(fileExists(settingsFile()));
}

TEST_F(CloseTest, CloseAnywayEndsAfterTheJobStopsWithoutSaving) {
    FakeJob job;
    app().pauseGate.closeGate();
    DialogAnswerer answers({{KESTROW_TITLE, IDOK, window()}});
    SendMessageA(window(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(answers.finish());
    EXPECT_TRUE(app().pauseGate.isOpen());
    EXPECT_EQ(app().runControl == AbortRequested || job.stopped(), true);
    EXPECT_TRUE(IsWindow(window()));
    HWND mainWindow = window();
    ASSERT_TRUE(pumpUntil([&] { return !IsWindow(mainWindow); }));
    EXPECT_TRUE(job.stopped());
    EXPECT_FALSE(fileExists(settingsFile()));
}

TEST_F(CloseTest, APromptAnsweredAfterTheJobEndedStillDoesNotClose) {
    app().runState = Comparing;
    DialogAnswerer answers({{KESTROW_TITLE, IDCANCEL, window(), [](HWND) { app().runState = Idle; }}});
    SendMessageA(window(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(answers.finish());
    pumpFor(100);
    EXPECT_TRUE(IsWindow(window()));
    EXPECT_FALSE(fileExists(settingsFile()));
}
