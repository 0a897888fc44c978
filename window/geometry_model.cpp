#include "window/geometry_model.h"

#include "engine/settings.h"

namespace {

constexpr uint32_t kListTop = 120;
constexpr uint32_t kBoxLeft = 82;
constexpr uint32_t kBoxMargin = 142;  // box left edge plus the Choose column

// Exclusive on both sides, unsigned: a bound that wrapped below 0 shuts the range.
bool within(uint32_t value, uint32_t low, uint32_t high) { return low < value && value < high; }

Zone rightColumnZone(uint32_t y, bool idle, uint32_t searchMode) {
    if (within(y, 4, 23)) return Zone::AboutPause;
    if (within(y, 26, 45)) return Zone::Help;
    if (within(y, 73, 90)) return idle ? Zone::ChooseA : Zone::None;
    if (within(y, 95, 112)) return idle && searchMode == FileMode ? Zone::ChooseB : Zone::None;
    return Zone::None;
}

int32_t atLeastZero(int64_t value) { return value < 0 ? 0 : static_cast<int32_t>(value); }

// Lights `flag` if it is dark and `allowed`; returns the repaint for it.
HoverRepaint light(uint32_t& flag, bool allowed, const Rect& rect) {
    HoverRepaint repaint;
    if (flag == 0 && allowed) {
        flag = 1;
        repaint.needed = true;
        repaint.rect = rect;
    }
    return repaint;
}

HoverRepaint darkenOneGroup(HoverFlags& flags, uint32_t width, uint32_t height) {
    HoverRepaint repaint;
    if (flags.hoverAboutPause || flags.hoverChooseA || flags.hoverChooseB || flags.hoverHelp) {
        flags.hoverAboutPause = flags.hoverChooseA = flags.hoverChooseB = flags.hoverHelp = 0;
        repaint.rect = rightColumnRect(width, height);
    } else if (flags.hoverSwitch) {
        flags.hoverSwitch = 0;
        repaint.rect = switchRect();
    } else if (flags.hoverStartAbort) {
        flags.hoverStartAbort = 0;
        repaint.rect = startAbortRect(width);
    } else {
        return repaint;
    }
    repaint.needed = true;
    return repaint;
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
    const Rect column = rightColumnRect(width, height);
    switch (hitZone(width, x, y, idle, searchMode)) {
    case Zone::AboutPause: return light(flags.hoverAboutPause, true, column);
    case Zone::Help: return light(flags.hoverHelp, idle, column);
    case Zone::ChooseA: return light(flags.hoverChooseA, true, column);
    case Zone::ChooseB: return light(flags.hoverChooseB, true, column);
    case Zone::Switch: return light(flags.hoverSwitch, true, switchRect());
    case Zone::StartAbort: return light(flags.hoverStartAbort, true, startAbortRect(width));
    case Zone::None: break;
    }
    return darkenOneGroup(flags, width, height);
}

Rect rightColumnRect(uint32_t width, uint32_t height) {
    const int32_t w = static_cast<int32_t>(width);
    return {w - 58, 0, w - 4, static_cast<int32_t>(height)};
}

Rect switchRect() { return {25, 15, 50, 40}; }

Rect startAbortRect(uint32_t width) {
    const int32_t w = static_cast<int32_t>(width);
    return {w - 170, 15, w - 70, 40};
}

Rect topBandRect(uint32_t width) { return {0, 0, static_cast<int32_t>(width), 120}; }

Rect progressRect(uint32_t width) { return {0, 0, static_cast<int32_t>(width) - 175, 60}; }

ChildLayout childLayout(uint32_t width, uint32_t height) {
    const int32_t boxWidth = atLeastZero(int64_t{width} - kBoxMargin);
    ChildLayout layout;
    layout.list = {1, static_cast<int32_t>(kListTop), atLeastZero(int64_t{width} - 2),
                   height > kListTop ? static_cast<int32_t>(height - kListTop) : 0};
    layout.boxA = {static_cast<int32_t>(kBoxLeft), 73, boxWidth, 20};
    layout.boxB = {static_cast<int32_t>(kBoxLeft), 95, boxWidth, 20};
    return layout;
}

uint32_t nextSearchMode(uint32_t mode) { return mode >= QuickDirMode ? FileMode : mode + 1; }

uint32_t validSearchMode(uint32_t mode) { return mode > QuickDirMode ? FileMode : mode; }
