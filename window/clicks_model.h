// Decisions behind a click and a file drop, as plain functions of the state.
#pragma once

#include <cstdint>

#include "window/geometry_model.h"

enum class ClickAction { None, Choose, SwitchMode, StartOrAbort, AboutOrPause, Help };

// The action of a left-button release over `zone`, the zone under the release
// point (never a button lit earlier). Choose and the switch are zones only while
// idle; Help acts only while idle; About/Pause does nothing while About is open.
ClickAction clickAction(Zone zone, bool idle, uint32_t aboutOpen);

enum class DropBox { None, BoxA, BoxB };

// Where a dropped name goes. A name with a "." anywhere counts as a file, one
// without as a folder. Files alternate between the two boxes in File mode (the
// toggle is updated); folders go to box 1002 in the directory modes.
DropBox dropTarget(const char* name, uint32_t searchMode, uint32_t& dropToggle);
