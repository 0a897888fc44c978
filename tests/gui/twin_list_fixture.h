// The main window after a "Directory" search: real files in a private folder
// and the list holding the opening row, one row per pair and the closing row.
// Dialog scripts run on a helper thread while the modal code blocks the test.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "tests/gui/gui_harness.h"

struct TwinRow {
    std::string pathA;
    std::string pathB;
    std::string percent;
};

class TwinListTest : public GuiTest {
protected:
    void prepareSettings(Settings& settings) override { settings.searchMode = DirectoryMode; }

    // Writes `size` bytes (every byte `fill`) to a file of the data folder; returns its path.
    std::string writeFile(const std::string& name, std::size_t size, char fill = 'k');
    // "Start" row, one row per pair, "End" row; twinCount follows.
    void listPairs(const std::vector<TwinRow>& pairs);
    void focusRow(int row);
    void clearFocus();
    std::vector<std::string> column(int index);
    // WM_NOTIFY with NM_DBLCLK from the list; returns once any dialog it opened is closed.
    void doubleClick();
};

bool fileExists(const std::string& path);

// Posts a button press to a dialog, as a click does.
void pressButton(HWND dialog, int id);
// A visible dialog with `caption` (any when null) and, when given, that owner,
// waited for up to `timeoutMs`; nullptr when none came.
HWND awaitDialog(const char* caption, DWORD timeoutMs = 30000, HWND owner = nullptr);
bool awaitGone(HWND dialog, DWORD timeoutMs = 30000);
// Waits until control `id` of `dialog` shows `text` (or the dialog is gone).
bool awaitItemText(HWND dialog, int id, const std::string& text, DWORD timeoutMs = 30000);
// Answers every question the shell asks over `owner` (its delete confirmations)
// that comes within `quietMs` of the last one; returns how many there were.
int answerDeleteConfirmations(HWND owner, int button, DWORD quietMs = 1500);

// Runs `script` on a helper thread. When the script is done, a "Duplicate File
// Action" dialog still open is closed so a failing test cannot hang.
class DialogScript {
public:
    explicit DialogScript(std::function<void()> script);
    ~DialogScript();
    // Joins the helper; true when no action dialog had to be closed for it.
    bool finish();

private:
    WorkerThread helper_;
    bool leftOpen_ = false;
};
