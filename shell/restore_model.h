// What a window restored from the settings file may take from it: whether the
// saved placement can be used, and the opacity a stored alpha gives. A damaged
// file must never leave the window out of reach: too small, off every screen, or invisible.
#pragma once

#include <cstdint>
#include <vector>

struct ScreenRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

constexpr int32_t kMinimumRestoredWidth = 200;
constexpr int32_t kMinimumRestoredHeight = 150;
// Window coordinates beyond this are no placement a screen can show.
constexpr int32_t kLargestCoordinate = 32000;

// True when `normal` is at least 200 x 150 pixels, within sane coordinates,
// and shows a part of itself on one of `workAreas`.
bool placementRestorable(const ScreenRect& normal, const std::vector<ScreenRect>& workAreas);

// The opacity applied for a stored alpha: at most 255, and never below 26
// (about 10%), so a transparent window stays visible. The stored value is kept.
uint8_t appliedOpacity(uint32_t alpha);
