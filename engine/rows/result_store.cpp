#include "engine/rows/result_store.h"

#include <cstring>

#include "engine/base/path_text.h"
#include "engine/base/text_cut.h"

namespace {

// Copies as much of `text` as a 600-byte cell holds, never splitting a character.
int copyCell(const char* text, std::size_t size, char* buffer) {
    const std::size_t length = cutLength(text, size, kPathTextSize - 1);
    std::memcpy(buffer, text, length);
    buffer[length] = '\0';
    return static_cast<int>(length);
}

}  // namespace

// Every insert makes room for its row (reserveOne) before it adds anything
// else, so that a row that cannot be had leaves the rows as they were.
void ResultStore::placeRow(int row, Slot slot) {
    rows_.insert(validRow(row) ? static_cast<std::size_t>(row) : rows_.size(), slot);
    ++changes_;
}

void ResultStore::insertRow(int row, const char* text) {
    {
        MutexLock lock(mutex_);
        rows_.reserveOne();
        texts_.push_back(ResultRow{text, "", ""});
        placeRow(row, Slot{static_cast<uint32_t>(texts_.size() - 1), 0, Kind::Text, 0});
    }
    rowsChanged();
}

void ResultStore::insertTwinRow(int row, const TwinRecord& twin) {
    {
        MutexLock lock(mutex_);
        rows_.reserveOne();
        const uint32_t fileA = files_.add(twin.pathA, twin.factsA, twin.fileA);
        const uint32_t fileB = files_.add(twin.pathB, twin.factsB, twin.fileB);
        placeRow(row, Slot{fileA, fileB, Kind::Twin, static_cast<uint8_t>(twin.percent)});
    }
    rowsChanged();
}

void ResultStore::insertRunRow(int row, const RunRecord& run) {
    {
        MutexLock lock(mutex_);
        rows_.reserveOne();
        runs_.push_back(run);
        placeRow(row, Slot{static_cast<uint32_t>(runs_.size() - 1), 0, Kind::Run, 0});
    }
    rowsChanged();
}

int ResultStore::writeCell(Slot slot, int column, char* buffer) const {
    switch (slot.kind) {
        case Kind::Text: {
            const std::string& text = texts_[slot.first][column];
            return copyCell(text.data(), text.size(), buffer);
        }
        case Kind::Run: writeRunCell(runs_[slot.first], column, buffer); break;
        case Kind::Twin:
            if (column < 2) {
                const char* path = files_.path(column == 0 ? slot.first : slot.second);
                return copyCell(path, std::strlen(path), buffer);
            }
            formatDecimal(slot.percent, buffer);
            break;
    }
    return static_cast<int>(std::strlen(buffer));
}

void ResultStore::setCell(int row, int column, const char* text) {
    writeText(row, column, text);
    rowsChanged();
}

void ResultStore::writeText(int row, int column, const char* text) {
    MutexLock lock(mutex_);
    if (!validRow(row) || column < 0 || column > 2) return;
    Slot& slot = rows_[row];
    if (slot.kind != Kind::Text) {
        ResultRow texts;
        PathText shown;
        for (int cell = 0; cell < 3; ++cell) {
            writeCell(slot, cell, shown);
            texts[cell] = shown;
        }
        texts_.push_back(texts);
        slot = Slot{static_cast<uint32_t>(texts_.size() - 1), 0, Kind::Text, 0};
    }
    texts_[slot.first][column] = text;
    ++changes_;
}

int ResultStore::getCell(int row, int column, char* buffer) {
    MutexLock lock(mutex_);
    buffer[0] = '\0';
    if (!validRow(row) || column < 0 || column > 2) return 0;
    return writeCell(rows_[row], column, buffer);
}

void ResultStore::ensureVisible(int row) {
    {
        MutexLock lock(mutex_);
        rowToShow_ = row;
    }
    rowsChanged();
}

void ResultStore::clearRows() {
    {
        MutexLock lock(mutex_);
        rows_.clear();
        // Without asking for memory: a fresh deque would.
        texts_.clear();
        texts_.shrink_to_fit();
        runs_.clear();
        runs_.shrink_to_fit();
        files_.clear();
        focused_ = -1;
        rowToShow_ = -1;
        ++changes_;
    }
    rowsChanged();
}

void ResultStore::deleteRow(int row) {
    {
        MutexLock lock(mutex_);
        if (!validRow(row)) return;
        rows_.erase(static_cast<std::size_t>(row));
        ++changes_;
    }
    rowsChanged();
}

int ResultStore::focusedRow() {
    MutexLock lock(mutex_);
    return focused_;
}

void ResultStore::setFocusedRow(int row) {
    MutexLock lock(mutex_);
    focused_ = row;
}

int ResultStore::rowCount() const {
    MutexLock lock(mutex_);
    return static_cast<int>(rows_.size());
}

std::vector<ResultRow> ResultStore::rows() const {
    MutexLock lock(mutex_);
    std::vector<ResultRow> all(rows_.size());
    PathText cell;
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        for (int column = 0; column < 3; ++column) {
            writeCell(rows_[row], column, cell);
            all[row][static_cast<std::size_t>(column)] = cell;
        }
    }
    return all;
}

bool ResultStore::twinAt(int row, StoredTwin& twin) const {
    MutexLock lock(mutex_);
    if (!validRow(row) || rows_[row].kind != Kind::Twin) return false;
    const Slot& slot = rows_[row];
    twin = StoredTwin{files_.path(slot.first), files_.path(slot.second), slot.percent,
                      files_.facts(slot.first), files_.facts(slot.second)};
    return true;
}

bool ResultStore::twinFilesAt(int row, TwinFileNumbers& files) const {
    MutexLock lock(mutex_);
    if (!validRow(row) || rows_[row].kind != Kind::Twin) return false;
    const Slot& slot = rows_[row];
    files = TwinFileNumbers{slot.first, slot.second, slot.percent};
    return true;
}

bool ResultStore::runAt(int row, RunRecord& run) const {
    MutexLock lock(mutex_);
    if (!validRow(row) || rows_[row].kind != Kind::Run) return false;
    run = runs_[rows_[row].first];
    return true;
}

int ResultStore::takeRowToShow() {
    MutexLock lock(mutex_);
    const int row = rowToShow_;
    rowToShow_ = -1;
    return row;
}

uint32_t ResultStore::changeCount() const {
    MutexLock lock(mutex_);
    return changes_;
}
