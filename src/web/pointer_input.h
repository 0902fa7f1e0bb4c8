// What the page's pointer layer calls: positions on the shown canvas, buttons going down and up.
#pragma once

#include <cstdint>

extern "C" {
// A pointer at (x, y) within the canvas as shown, width x height page pixels
// (any scale, fractional too): the game's mouse moves to that canvas pixel.
void tessera_pointer_move(double x, double y, double width, double height);

// A DOM mouse button (0 left, 2 right) went down (1) or up (0). Through the
// held keys' latch, a press and release within one frame is still one click.
void tessera_pointer_button(int button, int down);

// 1 while the player carries a piece: a drag ends with a drop there.
int tessera_carrying_piece();
}
