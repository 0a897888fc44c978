// The main window's face is laid out in 96-DPI pixels ("logical" below). On a
// screen of another DPI it is painted, placed and hit-tested at that scale, so
// it stays sharp and the same size to the eye; at 96 DPI nothing changes.
#pragma once

#include <cstdint>

#include "window/geometry_model.h"

constexpr uint32_t kBaseDpi = 96;

// A length of the 96-DPI face at `dpi`, rounded to the nearest pixel.
int32_t scaledLength(int32_t logical, uint32_t dpi);

// The 96-DPI coordinate of screen pixel `physical`: the logical pixel it lies in.
uint32_t logicalCoordinate(uint32_t physical, uint32_t dpi);

// The screen pixels a 96-DPI rectangle covers, rounded outwards, for repaints.
Rect physicalRect(const Rect& logical, uint32_t dpi);

// A child's place at `dpi`.
ChildPlace physicalPlace(const ChildPlace& logical, uint32_t dpi);

// A DPI as reported, with 0 or nonsense taken as 96.
uint32_t usableDpi(uint32_t reported);
