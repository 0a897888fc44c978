#include "window/list_commands.h"

#include <commctrl.h>
#include <commdlg.h>

#include <cstring>
#include <new>

#include "engine/base/owned_win32.h"
#include "resources/version.h"
#include "shell/gui_state.h"
#include "window/list_view_results.h"
#include "window/menu_model.h"

namespace {

constexpr DWORD kSaveFlags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT | OFN_EXPLORER |
                             OFN_LONGNAMES | OFN_NOREADONLYRETURN;
const char kSaveFilter[] =
    "Tab-separated (*.tsv)\0*.tsv\0Comma-separated (*.csv)\0*.csv\0JSON Lines (*.json)\0*.json\0";
const char* const kExtensions[] = {"tsv", "csv", "json"};
constexpr std::size_t kWriteChunk = 1 << 20;

// Row `row` as kestrow-cli.exe writes it: stdout is in text mode for tsv, so
// the line's LF comes out as CRLF; csv and json are written as they are.
void appendRow(std::string& text, RowFormat format, ResultStore& rows, int row) {
    text += formatRow(format, rows, row);
    if (format == RowFormat::Tsv) text.insert(text.size() - 1, 1, '\r');
}

bool writeAll(HANDLE file, const std::string& bytes) {
    DWORD written = 0;
    return WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

// A global memory block holding `size` bytes of `data`, for the clipboard; nullptr when there is no memory.
HGLOBAL clipboardBlock(const void* data, std::size_t size) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (block == nullptr) return nullptr;
    std::memcpy(GlobalLock(block), data, size);
    GlobalUnlock(block);
    return block;
}

// The text as ANSI and as UTF-16, so that every program reads the names as they are.
bool putOnClipboard(HWND window, const std::string& text) {
    const int wide = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    HGLOBAL ansi = clipboardBlock(text.c_str(), text.size() + 1);
    HGLOBAL unicode =
        wide > 0 ? GlobalAlloc(GMEM_MOVEABLE, static_cast<std::size_t>(wide) * sizeof(WCHAR)) : nullptr;
    if (unicode != nullptr) {
        MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, static_cast<WCHAR*>(GlobalLock(unicode)), wide);
        GlobalUnlock(unicode);
    }
    bool placed = false;
    if (ansi != nullptr && OpenClipboard(window)) {
        EmptyClipboard();
        placed = SetClipboardData(CF_TEXT, ansi) != nullptr;
        if (placed) ansi = nullptr;  // the clipboard owns it now
        if (unicode != nullptr && SetClipboardData(CF_UNICODETEXT, unicode) != nullptr) unicode = nullptr;
        CloseClipboard();
    }
    if (ansi != nullptr) GlobalFree(ansi);
    if (unicode != nullptr) GlobalFree(unicode);
    return placed;
}

}  // namespace

void selectAllRows() {
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED;
    item.state = LVIS_SELECTED;
    SendMessageA(gui().resultListView, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(&item));
}

std::string chosenRowsText(RowFormat format) {
    ListViewResultList& view = resultView();
    std::string text;
    for (int row : view.chosenRows()) appendRow(text, format, view, row);
    return text;
}

void copyChosenRows(HWND window) {
    try {
        const std::string text = chosenRowsText(RowFormat::Tsv);
        if (!text.empty() && !putOnClipboard(window, text)) app().reportNoMemory();
    } catch (const std::bad_alloc&) {
        app().reportNoMemory();
    }
}

void removeChosenPairs() {
    removeTwinRows(app(), resultView().chosenRows());
}

RowFormat saveFormatOf(const char* fileName, DWORD filterIndex) {
    const char* dot = std::strrchr(fileName, '.');
    const char* separator = std::strrchr(fileName, '\\');
    for (int format = 0; dot != nullptr && dot > separator && format < 3; ++format) {
        if (lstrcmpiA(dot + 1, kExtensions[format]) == 0) return static_cast<RowFormat>(format);
    }
    return filterIndex >= 1 && filterIndex <= 3 ? static_cast<RowFormat>(filterIndex - 1) : RowFormat::Tsv;
}

bool writeListFile(const char* fileName, RowFormat format) {
    bool written = true;
    {
        OwnedFileHandle file(
            CreateFileA(fileName, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return false;
        ListViewResultList& view = resultView();
        std::string chunk;
        try {
            chunk.reserve(kWriteChunk + 4096);
            const int count = view.rowCount();
            for (int row = 0; row < count && written; ++row) {
                appendRow(chunk, format, view, row);
                if (chunk.size() >= kWriteChunk || row + 1 == count) {
                    written = writeAll(file.get(), chunk);
                    chunk.clear();
                }
            }
        } catch (const std::bad_alloc&) {
            written = false;
        }
    }
    if (!written) DeleteFileA(fileName);
    return written;
}

void saveListAs(HWND window) {
    PathText fileName = "";
    OPENFILENAMEA dialog = {};
    dialog.lStructSize =
        OPENFILENAME_SIZE_VERSION_400A;  // the record Windows 2000 takes, sized for this processor
    dialog.hwndOwner = window;
    dialog.lpstrFilter = kSaveFilter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = fileName;
    dialog.nMaxFile = kPathTextSize;
    dialog.lpstrTitle = "Save list";
    dialog.lpstrDefExt = "tsv";
    dialog.Flags = kSaveFlags;
    if (!GetSaveFileNameA(&dialog)) return;
    if (writeListFile(fileName, saveFormatOf(fileName, dialog.nFilterIndex))) return;
    const std::string text = std::string("The list could not be saved to\n") + fileName;
    MessageBoxA(window, text.c_str(), KESTROW_TITLE, MB_OK | MB_ICONWARNING);
}
