// Pads in the SDL window: game controllers opened as they are plugged in, read once a frame into the shared mapping.
#pragma once

#include <SDL.h>

// Opens a controller that was plugged in (before or during play) and closes one pulled out.
void RecordPadEvent(const SDL_Event& event);

// The controls every open controller holds, together, for the key cursor.
uint32_t ReadPadControls();

void ClosePads();
