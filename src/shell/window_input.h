// Turns SDL's input events into the game's key bits, mouse position and wheel turns.
#pragma once

#include <SDL.h>

#include "support/input_snapshot.h"

// The window shows the picture this many times larger; mouse positions are
// divided by it, so the game sees its own client pixels.
void SetWindowInputScale(int32_t scale);

// Feeds one event into the held keys and the snapshot's mouse; others are ignored.
void RecordWindowInput(const SDL_Event& event);
