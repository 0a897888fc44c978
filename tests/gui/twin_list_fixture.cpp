#include "tests/gui/twin_list_fixture.h"

#include <commctrl.h>

#include "engine/rows/result_list.h"

void pressButton(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

static bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(20);
    }
    return true;
}

HWND awaitDialog(const char* caption, DWORD timeoutMs, HWND owner) {
    HWND dialog = nullptr;
    waitUntil([&] { return (dialog = findDialog(caption, owner)) != nullptr; }, timeoutMs);
    return dialog;
}

bool awaitGone(HWND dialog, DWORD timeoutMs) {
    return waitUntil([dialog] { return !IsWindow(dialog); }, timeoutMs);
}

bool awaitItemText(HWND dialog, int id, const std::string& text, DWORD timeoutMs) {
    return waitUntil([&] { return !IsWindow(dialog) || dialogItemText(dialog, id) == text; }, timeoutMs) &&
           IsWindow(dialog);
}

int answerDeleteConfirmations(HWND owner, int button, DWORD quietMs) {
    int answered = 0;
    while (HWND confirm = awaitDialog(nullptr, quietMs, owner)) {
        pressButton(confirm, button);
        awaitGone(confirm);
        ++answered;
    }
    return answered;
}

DialogScript::DialogScript(std::function<void()> script) {
    helper_.start([this, script] {
        script();
        if (HWND left = awaitDialog("Duplicate File Action", 500)) {
            leftOpen_ = true;
            pressButton(left, IDCANCEL);
        }
    });
}

DialogScript::~DialogScript() {
    finish();
}

bool DialogScript::finish() {
    helper_.join();
    return !leftOpen_;
}

bool fileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string TwinListTest::writeFile(const std::string& name, std::size_t size, char fill) {
    const std::string path = dataFolder() + name;
    HANDLE file =
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    const std::string bytes(size, fill);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return path;
}

void TwinListTest::listPairs(const std::vector<TwinRow>& pairs) {
    ResultList& list = *app().results;
    list.insertRow(0, "Start");
    int row = 1;
    for (const TwinRow& pair : pairs) {
        list.insertRow(row, pair.pathA.c_str());
        list.setCell(row, 1, pair.pathB.c_str());
        list.setCell(row, 2, pair.percent.c_str());
        ++row;
    }
    list.insertRow(row, "End");
    list.setCell(row, 1, std::to_string(pairs.size()).c_str());
    app().twinCount = static_cast<uint32_t>(pairs.size());
}

void TwinListTest::focusRow(int row) {
    LVITEMA item = {};
    item.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
    item.state = LVIS_FOCUSED | LVIS_SELECTED;
    SendMessageA(gui().resultListView, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

void TwinListTest::clearFocus() {
    LVITEMA item = {};
    item.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
    SendMessageA(gui().resultListView, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(&item));
}

std::vector<std::string> TwinListTest::column(int index) {
    std::vector<std::string> cells;
    char text[kPathTextSize];
    for (int row = 0; app().results->getCell(row, 0, text) > 0; ++row) {
        app().results->getCell(row, index, text);
        cells.push_back(text);
    }
    return cells;
}

void TwinListTest::doubleClick() {
    NMHDR header = {};
    header.hwndFrom = gui().resultListView;
    header.code = static_cast<UINT>(NM_DBLCLK);
    SendMessageA(window(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
}
