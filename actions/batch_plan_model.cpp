#include "actions/batch_plan_model.h"

#include <cctype>
#include <cstring>

#include "engine/path_text.h"
#include "engine/settings.h"
#include "engine/text_cut.h"

namespace {

// A folder the files can be moved into: ends with "\" and names a drive
// ("D:\...") or a network share ("\\server\..."), never a place that depends
// on the current drive or folder.
bool isMoveFolder(const char* folder) {
    const std::size_t length = std::strlen(folder);
    if (length == 0 || folder[length - 1] != '\\') return false;
    const bool drive = length >= 3 && std::isalpha(static_cast<unsigned char>(folder[0])) &&
                       folder[1] == ':' && folder[2] == '\\';
    const bool share = length >= 3 && folder[0] == '\\' && folder[1] == '\\';
    return drive || share;
}

BatchAction actionFor(uint32_t mode) {
    switch (mode) {
        case RecycleMode: return BatchAction::Recycle;
        case DeleteMode: return BatchAction::Delete;
        case MoveToMode: return BatchAction::Move;
        default: return BatchAction::Leave;
    }
}

// Fills in the destination of a move, or turns the step into Leave when the
// file has no name or the destination cannot be written.
void planMove(BatchStep& step, const char* moveDirectory) {
    PathText name;
    fileNamePart(step.path.c_str(), name);
    PathText destination;
    if (!isMoveFolder(moveDirectory) || name[0] == '\0' || !joinPathText(destination, moveDirectory, name)) {
        step.action = BatchAction::Leave;
        return;
    }
    step.destination = destination;
}

void markHandOvers(BatchPlan& plan) {
    std::size_t queued = 0;
    BatchStep* last = nullptr;
    for (BatchStep& step : plan.steps) {
        if (step.action != BatchAction::Recycle) continue;
        last = &step;
        if (++queued == kHandOverPaths) {
            step.handOverAfter = true;
            queued = 0;
        }
    }
    if (last != nullptr) last->handOverAfter = true;
}

}  // namespace

BatchPlan planBatch(const ResultStore& rows, uint32_t column, uint32_t mode, const char* moveDirectory,
                    const std::function<bool()>& stopRequested) {
    BatchPlan plan;
    if (column > 1) return plan;
    StoredTwin twin;
    for (int row = 1; rows.twinAt(row, twin); ++row) {
        if (stopRequested()) return BatchPlan{};
        const std::string& path = column == 0 ? twin.pathA : twin.pathB;
        if (twin.percent != 100 || path.empty()) continue;
        BatchStep step;
        step.row = row;
        step.action = actionFor(mode);
        step.path = path;
        step.twin = column == 0 ? twin.pathB : twin.pathA;
        step.pathFacts = column == 0 ? twin.factsA : twin.factsB;
        step.twinFacts = column == 0 ? twin.factsB : twin.factsA;
        if (step.action == BatchAction::Move) planMove(step, moveDirectory);
        plan.steps.push_back(std::move(step));
    }
    markHandOvers(plan);
    return plan;
}

std::string batchOutcomeText(const BatchTally& tally) {
    if (tally.kept == 0 && tally.failed == 0) return "";
    std::string text =
        "Removed " + std::to_string(tally.removed) + " of " + std::to_string(tally.planned) + " files.";
    if (tally.kept != 0) {
        text += " Kept " + std::to_string(tally.kept) + ": their twin was missing or no longer the same.";
    }
    if (tally.failed != 0) text += " " + std::to_string(tally.failed) + " could not be removed.";
    return text;
}

bool ensureTrailingBackslash(char* text) {
    const std::size_t length = std::strlen(text);
    if (length == 0 || text[length - 1] == '\\') return true;
    if (length + 1 >= kPathTextSize) return false;
    text[length] = '\\';
    text[length + 1] = '\0';
    return true;
}

void fileNamePart(const char* path, char* name) {
    const std::size_t length = std::strlen(path);
    const std::size_t last = lastSeparator(path, length, '\\');
    std::strcpy(name, last != length ? path + last + 1 : path);
}
