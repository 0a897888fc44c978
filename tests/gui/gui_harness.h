// In-process harness for Kestrow's GUI tests (kestrow_gui_tests, under Wine
// with a display).
//
// Each test gets a fresh program state and the real main window, made by the
// same code start-up uses, with its program and data folders pointed at a
// private temporary folder, so no test ever reads or writes real settings:
//
//   TEST_F(GuiTest, StartSwitchesToAbort) {
//       // window() is the main window; dataFolder() ends with "\".
//       moveAndRelease(window(), 300, 40);            // hover, then release on a zone
//       ASSERT_TRUE(pumpUntil([] { return app().runState == Idle; }));
//       saveScreenshot(window(), "after_start");      // <build>/screenshots/after_start.bmp
//   }
//
// To start from other settings, derive and override prepareSettings(); it runs
// after the defaults are applied and before the window is created:
//
//   class QuickDirTest : public GuiTest {
//       void prepareSettings(Settings& s) override { s.searchMode = QuickDirMode; }
//   };
//
// Modal dialogs block the calling code, so answer them ahead of time. A
// DialogAnswerer runs a watcher thread that waits for each expected dialog in
// turn (a visible "#32770" window of this process matching the caption and,
// if given, the owner), lets an optional inspector read it, presses the button
// (WM_COMMAND/BN_CLICKED) and waits for the dialog to go before the next one:
//
//   DialogAnswerer answers({{"Kestrow 1.31", IDCANCEL}});      // "Don't close."
//   SendMessageA(window(), WM_CLOSE, 0, 0);                     // returns after the answer
//   EXPECT_TRUE(answers.finish());                              // every dialog was answered
//
//   std::string verdict;
//   DialogAnswerer look({{"Duplicate File Action", IDCANCEL, nullptr,
//                         [&](HWND d) { verdict = dialogItemText(d, 1031); }}});
//
// Everything else runs on the test's thread: pumpUntil/pumpFor serve the
// message queue (workers' synchronous list sends, timers) while waiting.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "engine/base/worker_thread.h"
#include "engine/job/settings.h"
#include "shell/gui_state.h"
#include "tests/gui/window_finder.h"

// Puts app() and gui() back to the state of a freshly started process.
// AppState holds atomics and a gate, so it is reset field by field: a new
// AppState field needs its line in resetProgramState.
void resetProgramState();

// A new empty folder under the temporary folder; ends with "\".
std::string makeTempFolder();
// Removes the folder with everything in it.
void removeTempFolder(const std::string& folder);

// Points both program folders at `folder`, loads the settings from it
// (defaults when it holds no "dKest.dat"), lets `prepare` change them and
// opens the main window as start-up does. Returns the window.
HWND openTestWindow(const std::string& folder, const std::function<void(Settings&)>& prepare = {});
// Destroys the main window (without saving) and drains the queue, including
// the quit message its destruction posts.
void closeTestWindow();

// Serves the message queue until `done` holds or `timeoutMs` passes; returns
// whether it held.
bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 30000);
void pumpFor(DWORD milliseconds);

// Hovers the point (client coordinates) and releases the left button there.
void moveAndRelease(HWND window, int x, int y);

// Saves the window (frame included) as <test program folder>\screenshots\<name>.bmp.
bool saveScreenshot(HWND window, const char* name);

struct ExpectedDialog {
    const char* caption;
    int buttonId;  // 0: press nothing, the inspector answers
    HWND owner = nullptr;
    // Runs on the watcher thread once the dialog is visible, before the press.
    std::function<void(HWND)> inspect = {};
};

class DialogAnswerer {
public:
    explicit DialogAnswerer(std::vector<ExpectedDialog> dialogs, DWORD timeoutMs = 30000);
    ~DialogAnswerer();
    DialogAnswerer(const DialogAnswerer&) = delete;
    DialogAnswerer& operator=(const DialogAnswerer&) = delete;
    // Waits for the watcher; true when every expected dialog was answered.
    // Serves the queue meanwhile, so the watcher may read the dialogs' texts.
    bool finish();
    int answered() const { return answered_; }

private:
    void watch(std::vector<ExpectedDialog> dialogs, DWORD timeoutMs);
    std::atomic<int> answered_{0};
    std::atomic<bool> done_{false};
    std::atomic<bool> stop_{false};
    int expected_;
    WorkerThread watcher_;
};

// Fixture: a fresh state and the main window over a private data folder.
class GuiTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    virtual void prepareSettings(Settings&) {}
    HWND window() const { return window_; }
    const std::string& dataFolder() const { return folder_; }

private:
    HWND window_ = nullptr;
    std::string folder_;
};
