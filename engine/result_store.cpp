#include "engine/result_store.h"

#include <cstring>

#include "engine/path_text.h"
#include "engine/text_cut.h"

namespace {

// Copies as much of `text` as a 600-byte cell holds, never splitting a character.
int copyCell(const std::string& text, char* buffer) {
    const std::size_t length = cutLength(text.data(), text.size(), kPathTextSize - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return static_cast<int>(length);
}

}  // namespace

void ResultStore::placeRow(int row, Slot slot) {
    if (validRow(row)) {
        rows_.insert(rows_.begin() + row, slot);
    } else {
        rows_.push_back(slot);
    }
    ++changes_;
}

void ResultStore::insertRow(int row, const char* text) {
    {
        MutexLock lock(mutex_);
        texts_.push_back(ResultRow{text, "", ""});
        placeRow(row, Slot{Kind::Text, static_cast<uint32_t>(texts_.size() - 1)});
    }
    rowsChanged();
}

void ResultStore::insertTwinRow(int row, const TwinRecord& twin) {
    {
        MutexLock lock(mutex_);
        twins_.push_back(StoredTwin{twin.pathA, twin.pathB, twin.percent, twin.factsA, twin.factsB});
        placeRow(row, Slot{Kind::Twin, static_cast<uint32_t>(twins_.size() - 1)});
    }
    rowsChanged();
}

void ResultStore::insertRunRow(int row, const RunRecord& run) {
    {
        MutexLock lock(mutex_);
        runs_.push_back(run);
        placeRow(row, Slot{Kind::Run, static_cast<uint32_t>(runs_.size() - 1)});
    }
    rowsChanged();
}

int ResultStore::writeCell(Slot slot, int column, char* buffer) const {
    switch (slot.kind) {
        case Kind::Text: return copyCell(texts_[slot.index][column], buffer);
        case Kind::Run: writeRunCell(runs_[slot.index], column, buffer); break;
        case Kind::Twin: {
            const StoredTwin& twin = twins_[slot.index];
            if (column == 0) return copyCell(twin.pathA, buffer);
            if (column == 1) return copyCell(twin.pathB, buffer);
            formatDecimal(static_cast<int>(twin.percent), buffer);
            break;
        }
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
        slot = Slot{Kind::Text, static_cast<uint32_t>(texts_.size() - 1)};
    }
    texts_[slot.index][column] = text;
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
        rows_ = std::vector<Slot>();  // gives the memory back, unlike clear()
        texts_.clear();
        runs_.clear();
        twins_.clear();
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
        rows_.erase(rows_.begin() + row);
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
    twin = twins_[rows_[row].index];
    return true;
}

bool ResultStore::runAt(int row, RunRecord& run) const {
    MutexLock lock(mutex_);
    if (!validRow(row) || rows_[row].kind != Kind::Run) return false;
    run = runs_[rows_[row].index];
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
