// What the main window paints for a given state: the idle or busy face, its labels,
// buttons, progress band and current-file line, and the list's column sets. The
// paint code only turns this description into drawing calls.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "window/geometry_model.h"

enum ButtonKind : uint32_t {
    SmallButton = 0,
    LargeButton = 1,
    SwitchStraight = 2,
    SwitchMirrored = 3,
    SwitchTurned = 4,
};

struct FaceLabel {
    Rect box;
    const char* text;
};

struct FaceButton {
    ButtonKind kind;
    int32_t left;
    int32_t top;
    bool lit;
    const char* text;  // nullptr for the switch
};

struct FaceInput {
    uint32_t width = 0;
    uint32_t searchMode = 0;
    uint32_t runState = 0;
    uint32_t runControl = 0;
    uint32_t progressPercent = 0;  // as shown: see shownPercent
    uint32_t filesFound = 0;       // by the walk so far
    const char* currentFile = "";
    HoverFlags hover;
};

struct Face {
    bool drawn = false;  // false: the client is too narrow, only the background shows
    bool busy = false;
    std::vector<FaceLabel> labels;
    bool band = false;
    Rect bandRect{};
    std::string percentText;  // empty when the band is too short to hold it
    bool currentFileLine = false;
    Rect currentFileRect{};
    // The line is its lead (the file count while indexing, else empty) and
    // the path in hand, which is cut in the middle where it does not fit.
    std::string currentFileLead;
    std::string currentFileText;
    std::vector<FaceButton> buttons;
};

Face describeFace(const FaceInput& input);

// The band and the current-file line show at every busy code but the last
// (1..499): the busy face at code 500 has no band.
bool showsProgressBand(uint32_t runState);

// The percentage the band shows: a value above the finished marker shows as 99.
uint32_t shownPercent(uint32_t progressPercent);
// Right edge of the progress band; 0 for 0 %.
uint32_t bandRight(uint32_t width, uint32_t percent);
// The line under the band: the count of files found while indexing, then the
// file in hand.
std::string currentFileLine(uint32_t runState, uint32_t filesFound, const char* currentFile);
// The part of that line before the file in hand.
std::string currentFileLead(uint32_t runState, uint32_t filesFound);

struct ListColumn {
    const char* title;
    int32_t width;
};

struct ColumnSet {
    ListColumn columns[3];
    const char* boxATip;
};

const ColumnSet& columnSet(uint32_t searchMode);

// The widths a mode's columns take at `dpi` in a list `listWidth` pixels wide,
// of which `reserved` go to its frame and a vertical scroll bar: the two path
// columns share what the "%" column leaves, so no horizontal scroll bar hides
// the last row; File mode's columns keep their (scaled) widths.
void fittedColumnWidths(uint32_t searchMode, int32_t listWidth, int32_t reserved, uint32_t dpi,
                        int32_t widths[3]);
