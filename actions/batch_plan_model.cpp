#include "actions/batch_plan_model.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "engine/base/path_text.h"
#include "engine/base/text_cut.h"
#include "engine/job/settings.h"

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

}  // namespace

BatchPlan planBatch(const ResultStore& rows, uint32_t column, uint32_t mode, const char* moveDirectory,
                    const std::function<bool()>& stopRequested) {
    BatchPlan plan;
    if (column > 1) return plan;
    plan.column = column;
    plan.action = actionFor(mode);
    plan.moveDirectory = moveDirectory;
    // By the row store's file number: whether the file was met in an earlier 100% row.
    std::vector<bool> met;
    TwinFileNumbers files;
    StoredTwin twin;
    for (int row = 1; rows.twinFilesAt(row, files); ++row) {
        if (stopRequested()) return BatchPlan{};
        const uint32_t file = column == 0 ? files.fileA : files.fileB;
        if (files.percent != 100 || (file < met.size() && met[file])) continue;
        if (file >= met.size()) met.resize(std::max<std::size_t>(std::size_t{file} + 1, met.size() * 2));
        met[file] = true;
        if (rows.twinAt(row, twin) && !(column == 0 ? twin.pathA : twin.pathB).empty()) {
            plan.rows.push_back(row);
        }
    }
    return plan;
}

BatchStep planStep(const BatchPlan& plan, const ResultStore& rows, std::size_t at) {
    BatchStep step;
    StoredTwin twin;
    step.row = plan.rows[at];
    if (!rows.twinAt(step.row, twin)) return step;
    const bool columnA = plan.column == 0;
    step.action = plan.action;
    step.path = columnA ? twin.pathA : twin.pathB;
    step.twin = columnA ? twin.pathB : twin.pathA;
    step.pathFacts = columnA ? twin.factsA : twin.factsB;
    step.twinFacts = columnA ? twin.factsB : twin.factsA;
    if (step.action == BatchAction::Move) planMove(step, plan.moveDirectory.c_str());
    // A hand-over after every kHandOverPaths recycled paths, and after the last.
    step.handOverAfter =
        step.action == BatchAction::Recycle && ((at + 1) % kHandOverPaths == 0 || at + 1 == plan.size());
    return step;
}

namespace {

std::string filesText(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " file" : " files");
}

// Where a removed file goes in `mode`; "" for a mode that removes nothing.
std::string destinationText(uint32_t mode, const char* moveDirectory) {
    switch (mode) {
        case RecycleMode: return "to the Recycle Bin";
        case DeleteMode: return "for good";
        case MoveToMode: return isMoveFolder(moveDirectory) ? std::string("to ") + moveDirectory : "";
        default: return "";
    }
}

}  // namespace

std::string batchPromptText(std::size_t files, uint32_t column, uint32_t mode, const char* moveDirectory) {
    const std::string columnName = column == 0 ? "Column A" : "Column B";
    if (files == 0) return "No file of " + columnName + " is a 100% twin: no file will be touched.";
    const std::string subject = filesText(files) + " of " + columnName;
    const std::string going = destinationText(mode, moveDirectory);
    if (going.empty()) {
        const char* reason = mode == MoveToMode ? "no full folder to move them to is chosen (Select Move Dir)"
                                                : "the Batch Delete Mode is not known";
        return subject + " would be acted on, but " + reason + ": every file will stay.";
    }
    return subject + (mode == DeleteMode ? " will be deleted " : " will be moved ") + going + ".";
}

std::string batchOutcomeText(const BatchTally& tally, uint32_t mode, const char* moveDirectory) {
    const std::string going = destinationText(mode, moveDirectory);
    const std::string done = mode == DeleteMode ? "Deleted " : going.empty() ? "Removed " : "Moved ";
    std::string text = done + std::to_string(tally.removed) + " of " + filesText(tally.planned);
    text += going.empty() ? "." : " " + going + ".";
    const uint32_t kept = tally.planned - tally.removed;
    text += " Kept " + std::to_string(kept);
    if (kept == 0) return text + ".";
    std::vector<std::string> reasons;
    if (tally.kept != 0)
        reasons.push_back(std::to_string(tally.kept) + " whose twin was missing or no longer the same");
    if (tally.failed != 0) reasons.push_back(std::to_string(tally.failed) + " that could not be removed");
    const uint32_t unreached = kept - tally.kept - tally.failed;
    if (unreached != 0) reasons.push_back(std::to_string(unreached) + " not reached after Cancel");
    text += ":";
    for (std::size_t at = 0; at < reasons.size(); ++at) text += (at == 0 ? " " : ", ") + reasons[at];
    return text + ".";
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
