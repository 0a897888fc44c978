#include "engine/rows/result_store.h"

#include <algorithm>
#include <cstring>
#include <utility>

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

// Bytes of file A, then of file B, as unsigned values; a run without quoted bytes first.
bool runDetailsBefore(const RunRecord& left, const RunRecord& right) {
    const uint8_t* a = left.bytesA;
    const uint8_t* b = right.bytesA;
    if (!std::equal(a, a + left.quoted, b, b + right.quoted))
        return std::lexicographical_compare(a, a + left.quoted, b, b + right.quoted);
    return std::lexicographical_compare(left.bytesB, left.bytesB + left.quoted, right.bytesB,
                                        right.bytesB + right.quoted);
}

// A row of the sort: its key, its place before the sort and what it holds.
struct SortEntry {
    uint64_t key;
    uint32_t row;
};

// The key of a third cell that is no number.
constexpr uint64_t kTextAfterNumbers = uint64_t{1} << 40;

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

void ResultStore::insertJobRow(int row, const JobRowRecord& record) {
    {
        MutexLock lock(mutex_);
        rows_.reserveOne();
        jobRows_.push_back(record);
        placeRow(row, Slot{static_cast<uint32_t>(jobRows_.size() - 1), 0, Kind::Job, 0});
    }
    rowsChanged();
}

bool ResultStore::setClosingCount(int row, uint32_t count) {
    {
        MutexLock lock(mutex_);
        if (!validRow(row) || rows_[row].kind != Kind::Job) return false;
        JobRowRecord& record = jobRows_[rows_[row].first];
        if (record.kind != JobRowKind::SearchEnd) return false;
        record.count = count;
        ++changes_;
    }
    rowsChanged();
    return true;
}

int ResultStore::writeCell(Slot slot, int column, char* buffer) const {
    switch (slot.kind) {
        case Kind::Text: {
            const std::string& text = texts_[slot.first][column];
            return copyCell(text.data(), text.size(), buffer);
        }
        case Kind::Run: writeRunCell(runs_[slot.first], column, buffer); break;
        case Kind::Job: writeJobRowCell(jobRows_[slot.first], column, buffer); break;
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
        jobRows_.clear();
        jobRows_.shrink_to_fit();
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

bool ResultStore::jobRowAt(int row, JobRowRecord& record) const {
    MutexLock lock(mutex_);
    if (!validRow(row) || rows_[row].kind != Kind::Job) return false;
    record = jobRows_[rows_[row].first];
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

// The places of the files' paths, and of the first two cells of the text rows
// between the first and the last row, among all of them in byte order; equal
// texts share a place.
void ResultStore::rankPaths(SortRanks& ranks) const {
    struct Named {
        const char* text;
        uint32_t* rank;
    };
    ranks.files.assign(files_.count(), 0);
    ranks.texts.assign(2 * texts_.size(), 0);
    std::vector<Named> names;
    names.reserve(ranks.files.size());
    for (uint32_t file = 0; file < files_.count(); ++file)
        names.push_back(Named{files_.path(file), &ranks.files[file]});
    for (std::size_t row = 1; row + 1 < rows_.size(); ++row) {
        const Slot& slot = rows_[row];
        if (slot.kind != Kind::Text) continue;
        for (int column = 0; column < 2; ++column)
            names.push_back(Named{texts_[slot.first][column].c_str(), &ranks.texts[2 * slot.first + column]});
    }
    std::sort(names.begin(), names.end(),
              [](const Named& left, const Named& right) { return std::strcmp(left.text, right.text) < 0; });
    uint32_t rank = 0;
    for (std::size_t at = 0; at < names.size(); ++at) {
        if (at > 0 && std::strcmp(names[at - 1].text, names[at].text) != 0) ++rank;
        *names[at].rank = rank;
    }
}

// Each run's place among all runs by its details.
std::vector<uint32_t> ResultStore::runDetailRanks() const {
    std::vector<uint32_t> order(runs_.size());
    for (uint32_t run = 0; run < order.size(); ++run) order[run] = run;
    std::sort(order.begin(), order.end(),
              [this](uint32_t left, uint32_t right) { return runDetailsBefore(runs_[left], runs_[right]); });
    std::vector<uint32_t> ranks(order.size());
    uint32_t rank = 0;
    for (std::size_t at = 0; at < order.size(); ++at) {
        if (at > 0 && runDetailsBefore(runs_[order[at - 1]], runs_[order[at]])) ++rank;
        ranks[order[at]] = rank;
    }
    return ranks;
}

uint64_t ResultStore::sortKey(const Slot& slot, int column, const SortRanks& ranks) const {
    switch (slot.kind) {
        case Kind::Twin: {
            if (column == 2) return slot.percent;
            const uint64_t a = ranks.files[slot.first];
            const uint64_t b = ranks.files[slot.second];
            return column == 1 ? b << 32 | a : a << 32 | b;
        }
        case Kind::Run: {
            const RunRecord& run = runs_[slot.first];
            if (column == 0) return run.offset;
            if (column == 1) return uint64_t{run.length} << 32 | run.offset;
            return ranks.runs[slot.first];
        }
        case Kind::Text: {
            if (column < 2) {
                const uint64_t a = ranks.texts[2 * slot.first];
                const uint64_t b = ranks.texts[2 * slot.first + 1];
                return column == 1 ? b << 32 | a : a << 32 | b;
            }
            // A percentage as its number; any other text after every number, in its order.
            const std::string& text = texts_[slot.first][2];
            const bool digits = !text.empty() && text.size() <= 9 &&
                                text.find_first_not_of("0123456789") == std::string::npos;
            return digits ? static_cast<uint64_t>(parseDecimal(text.c_str())) : kTextAfterNumbers;
        }
        case Kind::Job: break;  // opening and closing rows keep their places
    }
    return kTextAfterNumbers;
}

int ResultStore::sortRows(int column, bool descending, int follow) {
    {
        MutexLock lock(mutex_);
        const std::size_t count = rows_.size();
        if (count < 4 || column < 0 || column > 2) return follow;
        SortRanks ranks;
        if (column < 2) rankPaths(ranks);
        if (column == 2) ranks.runs = runDetailRanks();
        std::vector<SortEntry> entries(count - 2);
        for (std::size_t row = 1; row + 1 < count; ++row)
            entries[row - 1] = SortEntry{sortKey(rows_[row], column, ranks), static_cast<uint32_t>(row)};
        std::sort(entries.begin(), entries.end(),
                  [descending](const SortEntry& left, const SortEntry& right) {
                      if (left.key != right.key)
                          return descending ? left.key > right.key : left.key < right.key;
                      return left.row < right.row;
                  });
        std::vector<Slot> slots(entries.size());
        for (std::size_t at = 0; at < entries.size(); ++at) slots[at] = rows_[entries[at].row];
        int moved = follow;
        for (std::size_t at = 0; at < entries.size(); ++at) {
            rows_[at + 1] = slots[at];
            if (static_cast<int>(entries[at].row) == follow) moved = static_cast<int>(at + 1);
        }
        follow = moved;
        ++changes_;
    }
    rowsChanged();
    return follow;
}

void ResultStore::deleteRows(std::vector<int> rows) {
    {
        MutexLock lock(mutex_);
        std::sort(rows.begin(), rows.end());
        std::size_t kept = 0;
        std::size_t next = 0;
        for (std::size_t row = 0; row < rows_.size(); ++row) {
            while (next < rows.size() && rows[next] < static_cast<int>(row)) ++next;
            if (next < rows.size() && rows[next] == static_cast<int>(row)) continue;
            if (kept != row) rows_[kept] = rows_[row];
            ++kept;
        }
        rows_.shrinkTo(kept);
        ++changes_;
    }
    rowsChanged();
}

void ResultStore::swapRows(ResultStore& other) {
    if (&other == this) return;
    {
        // Always in the same order, so two swaps at once cannot wait on each other.
        MutexLock first(this < &other ? mutex_ : other.mutex_);
        MutexLock second(this < &other ? other.mutex_ : mutex_);
        std::swap(rows_, other.rows_);
        std::swap(texts_, other.texts_);
        std::swap(jobRows_, other.jobRows_);
        std::swap(runs_, other.runs_);
        std::swap(files_, other.files_);
        std::swap(focused_, other.focused_);
        rowToShow_ = other.rowToShow_ = -1;
        ++changes_;
        ++other.changes_;
    }
    rowsChanged();
    other.rowsChanged();
}
