#include "window/dpi_model.h"

namespace {

int32_t scaledDown(int64_t logical, uint32_t dpi) {
    const int64_t scaled = logical * dpi;
    return static_cast<int32_t>(scaled >= 0 ? scaled / kBaseDpi : -((-scaled + kBaseDpi - 1) / kBaseDpi));
}

int32_t scaledUp(int64_t logical, uint32_t dpi) {
    return -scaledDown(-logical, dpi);
}

}  // namespace

int32_t scaledLength(int32_t logical, uint32_t dpi) {
    const int64_t scaled = int64_t{logical} * dpi;
    const int64_t half = kBaseDpi / 2;
    return static_cast<int32_t>(scaled >= 0 ? (scaled + half) / kBaseDpi : -((-scaled + half) / kBaseDpi));
}

uint32_t logicalCoordinate(uint32_t physical, uint32_t dpi) {
    return static_cast<uint32_t>(uint64_t{physical} * kBaseDpi / dpi);
}

Rect physicalRect(const Rect& logical, uint32_t dpi) {
    return {scaledDown(logical.left, dpi), scaledDown(logical.top, dpi), scaledUp(logical.right, dpi),
            scaledUp(logical.bottom, dpi)};
}

ChildPlace physicalPlace(const ChildPlace& logical, uint32_t dpi) {
    const int32_t x = scaledLength(logical.x, dpi);
    const int32_t y = scaledLength(logical.y, dpi);
    return {x, y, scaledLength(logical.x + logical.width, dpi) - x,
            scaledLength(logical.y + logical.height, dpi) - y};
}

uint32_t usableDpi(uint32_t reported) {
    return reported >= 48 && reported <= 960 ? reported : kBaseDpi;
}
