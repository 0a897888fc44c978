#include "window/geometry_model.h"

#include "engine/job/settings.h"

namespace {

constexpr uint32_t kListTop = 120;
constexpr uint32_t kBoxLeft = 82;
constexpr uint32_t kBoxMargin = 142;  // box left edge plus the Choose column

// Exclusive on both sides, unsigned: a bound that wrapped below 0 shuts the range.
bool within(uint32_t value, uint32_t low, uint32_t high) {
    return low < value && value < high;
}

Zone rightColumnZone(uint32_t y, bool idle, uint32_t searchMode) {
    if (within(y, 4, 23)) return Zone::AboutPause;
    if (within(y, 26, 45)) return Zone::Help;
    if (within(y, 73, 90)) return idle ? Zone::ChooseA : Zone::None;
    if (within(y, 95, 112)) return idle && searchMode == FileMode ? Zone::ChooseB : Zone::None;
    return Zone::None;
}

int32_t atLeastZero(int64_t value) {
    return value < 0 ? 0 : static_cast<int32_t>(value);
}

// Sets `flag` to `lit`; a change asks to repaint `rect` (once per group).
void setFlag(uint32_t& flag, bool lit, const Rect& rect, HoverRepaint& repaint) {
    if ((flag != 0) == lit) return;
    flag = lit ? 1 : 0;
    for (int i = 0; i < repaint.count; ++i) {
        if (repaint.rects[i] == rect) return;
    }
    repaint.rects[repaint.count++] = rect;
}

}  // namespace

Zone hitZone(uint32_t width, uint32_t x, uint32_t y, bool idle, uint32_t searchMode) {
    if (within(x, width - 58, width - 4)) return rightColumnZone(y, idle, searchMode);
    if (within(x, 25, 50) && idle) return within(y, 15, 40) ? Zone::Switch : Zone::None;
    if (within(y, 15, 40) && within(x, width - 170, width - 70)) return Zone::StartAbort;
    return Zone::None;
}

HoverRepaint updateHover(HoverFlags& flags, uint32_t width, uint32_t height, uint32_t x, uint32_t y,
                         bool idle, uint32_t searchMode) {
    const Zone zone = hitZone(width, x, y, idle, searchMode);
    const Rect column = rightColumnRect(width, height);
    HoverRepaint repaint;
    setFlag(flags.hoverAboutPause, zone == Zone::AboutPause, column, repaint);
    // Help counts as a zone during a job but lights only while idle.
    setFlag(flags.hoverHelp, zone == Zone::Help && idle, column, repaint);
    setFlag(flags.hoverChooseA, zone == Zone::ChooseA, column, repaint);
    setFlag(flags.hoverChooseB, zone == Zone::ChooseB, column, repaint);
    setFlag(flags.hoverSwitch, zone == Zone::Switch, switchRect(), repaint);
    setFlag(flags.hoverStartAbort, zone == Zone::StartAbort, startAbortRect(width), repaint);
    return repaint;
}

Rect rightColumnRect(uint32_t width, uint32_t height) {
    const int32_t w = static_cast<int32_t>(width);
    return {w - 58, 0, w - 4, static_cast<int32_t>(height)};
}

Rect switchRect() {
    return {25, 15, 50, 40};
}

Rect startAbortRect(uint32_t width) {
    const int32_t w = static_cast<int32_t>(width);
    return {w - 170, 15, w - 70, 40};
}

Rect topBandRect(uint32_t width) {
    return {0, 0, static_cast<int32_t>(width), 120};
}

Rect progressRect(uint32_t width) {
    return {0, 0, static_cast<int32_t>(width) - 175, 60};
}

ChildLayout childLayout(uint32_t width, uint32_t height) {
    const int32_t boxWidth = atLeastZero(int64_t{width} - kBoxMargin);
    ChildLayout layout;
    layout.list = {1, static_cast<int32_t>(kListTop), atLeastZero(int64_t{width} - 2),
                   height > kListTop ? static_cast<int32_t>(height - kListTop) : 0};
    layout.boxA = {static_cast<int32_t>(kBoxLeft), 73, boxWidth, 20};
    layout.boxB = {static_cast<int32_t>(kBoxLeft), 95, boxWidth, 20};
    return layout;
}

uint32_t nextSearchMode(uint32_t mode) {
    return mode >= QuickDirMode ? FileMode : mode + 1;
}

uint32_t validSearchMode(uint32_t mode) {
    return mode > QuickDirMode ? FileMode : mode;
}
