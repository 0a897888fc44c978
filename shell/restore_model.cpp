#include "shell/restore_model.h"

namespace {

constexpr uint32_t kLowestOpacity = 26;

bool withinLimits(const ScreenRect& rect) {
    for (int32_t value : {rect.left, rect.top, rect.right, rect.bottom}) {
        if (value < -kLargestCoordinate || value > kLargestCoordinate) return false;
    }
    return true;
}

bool overlaps(const ScreenRect& a, const ScreenRect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

}  // namespace

bool placementRestorable(const ScreenRect& normal, const std::vector<ScreenRect>& workAreas) {
    if (!withinLimits(normal)) return false;
    if (normal.right - normal.left < kMinimumRestoredWidth) return false;
    if (normal.bottom - normal.top < kMinimumRestoredHeight) return false;
    for (const ScreenRect& area : workAreas) {
        if (overlaps(normal, area)) return true;
    }
    return false;
}

uint8_t appliedOpacity(uint32_t alpha) {
    if (alpha > 255) return 255;
    return static_cast<uint8_t>(alpha < kLowestOpacity ? kLowestOpacity : alpha);
}
