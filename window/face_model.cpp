#include "window/face_model.h"

#include "window/dpi_model.h"

#include "engine/job/run_state.h"
#include "engine/job/settings.h"
#include "engine/rows/result_list.h"

namespace {

constexpr uint32_t kNarrowestDrawnWidth = 201;
constexpr uint32_t kBandLeft = 3;
constexpr uint32_t kBandTextMinimum = 26;  // a shorter band has no room for "100%"
constexpr int32_t kRightMargin = 175;      // band and current-file line stop short of the buttons

void addPathLabels(Face& face, uint32_t searchMode) {
    if (searchMode == FileMode) {
        face.labels.push_back({{3, 75, 80, 90}, "Compare this"});
        face.labels.push_back({{3, 95, 80, 110}, "With this"});
    } else {
        face.labels.push_back({{3, 75, 80, 90}, "Search this"});
    }
}

void addModeLabels(Face& face) {
    face.labels.push_back({{3, 5, 40, 20}, "File"});
    face.labels.push_back({{50, 5, 120, 20}, "Directory"});
    face.labels.push_back({{50, 35, 120, 50}, "Quick Dir"});
}

void addBand(Face& face, const FaceInput& input) {
    const int32_t w = static_cast<int32_t>(input.width);
    const uint32_t right = bandRight(input.width, input.progressPercent);
    face.band = true;
    face.bandRect = {static_cast<int32_t>(kBandLeft), 5, static_cast<int32_t>(right), 20};
    if (right >= kBandTextMinimum) {
        char digits[16];
        formatDecimal(static_cast<int>(input.progressPercent), digits);
        face.percentText = std::string(digits) + "%";
    }
    if (input.searchMode != FileMode) {
        face.currentFileLine = true;
        face.currentFileRect = {3, 30, w - kRightMargin, 50};
        face.currentFileLead = currentFileLead(input.runState, input.filesFound);
        face.currentFileText = input.currentFile;
    }
}

const char* aboutPauseText(const FaceInput& input) {
    if (input.runState == Idle) return "About";
    return input.runControl == Paused ? "Resume" : "Pause";
}

void addButtons(Face& face, const FaceInput& input) {
    const int32_t w = static_cast<int32_t>(input.width);
    const HoverFlags& hover = input.hover;
    face.buttons.push_back(
        {LargeButton, w - 170, 15, hover.hoverStartAbort != 0, face.busy ? "Abort" : "Start"});
    if (!face.busy) {
        const auto kind = static_cast<ButtonKind>(SwitchStraight + validSearchMode(input.searchMode));
        face.buttons.push_back({kind, 25, 15, hover.hoverSwitch != 0, nullptr});
    }
    face.buttons.push_back({SmallButton, w - 58, 5, hover.hoverAboutPause != 0, aboutPauseText(input)});
    face.buttons.push_back({SmallButton, w - 58, 27, hover.hoverHelp != 0, "Help"});
    face.buttons.push_back({SmallButton, w - 58, 74, hover.hoverChooseA != 0, "Choose"});
    if (input.searchMode == FileMode) {
        face.buttons.push_back({SmallButton, w - 58, 96, hover.hoverChooseB != 0, "Choose"});
    }
}

}  // namespace

Face describeFace(const FaceInput& input) {
    Face face;
    if (input.width < kNarrowestDrawnWidth) return face;
    face.drawn = true;
    face.busy = busy(input.runState);
    addPathLabels(face, input.searchMode);
    if (showsProgressBand(input.runState)) addBand(face, input);
    if (!face.busy) addModeLabels(face);
    addButtons(face, input);
    return face;
}

bool showsProgressBand(uint32_t runState) {
    return busy(runState) && runState != kLastBusyCode;
}

uint32_t shownPercent(uint32_t progressPercent) {
    return progressPercent > kProgressFinished ? 99 : progressPercent;
}

uint32_t bandRight(uint32_t width, uint32_t percent) {
    if (percent == 0) return 0;
    return (width - kRightMargin) * percent / 100;
}

std::string currentFileLine(uint32_t runState, uint32_t filesFound, const char* currentFile) {
    return currentFileLead(runState, filesFound) + currentFile;
}

std::string currentFileLead(uint32_t runState, uint32_t filesFound) {
    if (runState != Indexing) return "";
    char digits[16];
    formatDecimal(static_cast<int>(filesFound), digits);
    return std::string(digits) + " files scanned. Current File: ";
}

const ColumnSet& columnSet(uint32_t searchMode) {
    static const ColumnSet fileColumns{{{"Position", 65}, {"Length", 65}, {"Details", 360}},
                                       "File to be compared"};
    static const ColumnSet folderColumns{{{"File A", 230}, {"File B", 230}, {"%", 40}}, "Folder to check"};
    return searchMode == FileMode ? fileColumns : folderColumns;
}

void fittedColumnWidths(uint32_t searchMode, int32_t listWidth, int32_t reserved, uint32_t dpi,
                        int32_t widths[3]) {
    const ColumnSet& set = columnSet(searchMode);
    for (int index = 0; index < 3; ++index) widths[index] = scaledLength(set.columns[index].width, dpi);
    if (searchMode == FileMode) return;
    const int32_t shared = listWidth - reserved - widths[2];
    widths[0] = widths[1] = shared > 0 ? shared / 2 : 0;
}
