// Where keys and pads may put the mouse: the game's own stage entries, grid cells and offered piece, read and never written.
#pragma once

#include <cstdint>

#include "support/point.h"

enum class CursorStep { Left, Right, Up, Down };

// The target a step leads to from where the mouse is: from the target
// nearest to it, one along in the step's direction, clamped at the edges. On
// the stage select screen the targets are the ten entries; in play the cells
// of the whole grid, board and parking space. False when the game shows
// nothing to steer over (the data not loaded yet, a stage sliding out).
bool SteppedTarget(Point from, CursorStep step, Point& target);

// The piece the chooser offers, where a click takes it; false while the chooser is closed.
bool OfferedPieceTarget(Point& target);

// Whether the chooser is open: keys follow it onto the piece it offers.
bool ChooserOpen();
