#include "engine/result_list.h"

#include <cstdint>
#include <cstring>

#include "engine/path_text.h"

void ResultList::insertTwinRow(int row, const TwinRecord& twin) {
    char digits[kPathTextSize];
    formatDecimal(static_cast<int>(twin.percent), digits);
    insertRow(row, twin.pathA);
    setCell(row, 1, twin.pathB);
    setCell(row, 2, digits);
}

void MemoryResultList::insertRow(int row, const char* text) {
    MutexLock lock(mutex_);
    ResultRow fresh{text, "", ""};
    if (row < 0 || row >= static_cast<int>(rows_.size())) {
        rows_.push_back(fresh);
    } else {
        rows_.insert(rows_.begin() + row, fresh);
    }
}

void MemoryResultList::setCell(int row, int column, const char* text) {
    MutexLock lock(mutex_);
    if (row < 0 || row >= static_cast<int>(rows_.size()) || column < 0 || column > 2) return;
    rows_[row][column] = text;
}

int MemoryResultList::getCell(int row, int column, char* buffer) {
    MutexLock lock(mutex_);
    buffer[0] = '\0';
    if (row < 0 || row >= static_cast<int>(rows_.size()) || column < 0 || column > 2) return 0;
    const std::string& cell = rows_[row][column];
    const std::size_t length = cell.size() < kPathTextSize - 1 ? cell.size() : kPathTextSize - 1;
    std::memcpy(buffer, cell.data(), length);
    buffer[length] = '\0';
    return static_cast<int>(length);
}

void MemoryResultList::ensureVisible(int) {}

void MemoryResultList::clearRows() {
    MutexLock lock(mutex_);
    rows_.clear();
    focused_ = -1;
}

void MemoryResultList::deleteRow(int row) {
    MutexLock lock(mutex_);
    if (row < 0 || row >= static_cast<int>(rows_.size())) return;
    rows_.erase(rows_.begin() + row);
}

int MemoryResultList::focusedRow() {
    MutexLock lock(mutex_);
    return focused_;
}

void MemoryResultList::setFocusedRow(int row) {
    MutexLock lock(mutex_);
    focused_ = row;
}

std::vector<ResultRow> MemoryResultList::rows() const {
    MutexLock lock(mutex_);
    return rows_;
}

int MemoryResultList::rowCount() const {
    MutexLock lock(mutex_);
    return static_cast<int>(rows_.size());
}

void formatDecimal(int value, char* buffer) {
    char digits[12];
    int count = 0;
    // Work on the magnitude as unsigned so INT_MIN has no overflow.
    uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    int out = 0;
    if (value < 0) buffer[out++] = '-';
    while (count > 0) buffer[out++] = digits[--count];
    buffer[out] = '\0';
}

int parseDecimal(const char* text) {
    uint32_t value = 0;  // wraps like the 32-bit original, without signed overflow
    for (; *text != '\0'; ++text) value = value * 10 + static_cast<uint32_t>(static_cast<unsigned char>(*text) - 48);
    return static_cast<int>(value);
}
