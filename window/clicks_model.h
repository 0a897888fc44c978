// Decisions behind a click and a file drop, as plain functions of the state.
#pragma once

#include <cstdint>

#include "window/geometry_model.h"

enum class ClickAction { None, Choose, SwitchMode, StartOrAbort, AboutOrPause, Help };

// The action of a left-button release, from the lit buttons: the first that
// applies wins. Choose and the switch act only while idle, so a button left lit
// from before a job can never change a path or the mode under a running worker.
ClickAction clickAction(const HoverFlags& flags, bool idle, uint32_t aboutOpen);

enum class DropBox { None, BoxA, BoxB };

// Where a dropped name goes. A name with a "." anywhere counts as a file, one
// without as a folder. Files alternate between the two boxes in File mode (the
// toggle is updated); folders go to box 1002 in the directory modes.
DropBox dropTarget(const char* name, uint32_t searchMode, uint32_t& dropToggle);
