// Geometry of the main window: where the children go, where the painted buttons
// and pointer hot zones lie, and which rectangle each change repaints, all computed
// from the client size. Hit-testing and "which button lights" are plain functions.
#pragma once

#include <cstdint>

#include "shell/hover_flags.h"

// A rectangle in client pixels; right and bottom are exclusive.
struct Rect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

inline bool operator==(const Rect& a, const Rect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

enum class Zone { None, AboutPause, Help, ChooseA, ChooseB, Switch, StartAbort };

// The zone under (x, y) that counts in this state. Bounds are exclusive and
// compared unsigned, so a zone whose bound falls below 0 cannot be entered.
Zone hitZone(uint32_t width, uint32_t x, uint32_t y, bool idle, uint32_t searchMode);

// What a pointer movement asks to repaint (invalidations without erasing): one
// rectangle for each group of buttons whose face changed.
struct HoverRepaint {
    int count = 0;
    Rect rects[3]{};
    bool needed() const { return count > 0; }
};

// Lights the button under (x, y) and darkens every other one, so at most one
// button is ever lit: the one a release there acts on.
HoverRepaint updateHover(HoverFlags& flags, uint32_t width, uint32_t height, uint32_t x, uint32_t y,
                         bool idle, uint32_t searchMode);

Rect rightColumnRect(uint32_t width, uint32_t height);
Rect switchRect();
Rect startAbortRect(uint32_t width);
// Everything above the list: labels, switch, band and buttons.
Rect topBandRect(uint32_t width);
// The progress band and the current-file line.
Rect progressRect(uint32_t width);

struct ChildPlace {
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
};

struct ChildLayout {
    ChildPlace list;
    ChildPlace boxA;
    ChildPlace boxB;
};

// Places of the list and the two path boxes; widths and heights never go below 0.
ChildLayout childLayout(uint32_t width, uint32_t height);

// The switch cycles File -> Directory -> Quick Dir -> File; a damaged value
// lands on File.
uint32_t nextSearchMode(uint32_t mode);
// A damaged mode is taken as File.
uint32_t validSearchMode(uint32_t mode);
