// Pads in the SDL window: game controllers opened as they are plugged in, their events into the shared mapping.
#pragma once

#include <SDL.h>

// Opens a controller that was plugged in (before or during play), closes one
// pulled out, and hands every button and stick change to the key cursor as
// it comes, so a press shorter than a frame is never lost.
void RecordPadEvent(const SDL_Event& event);

void ClosePads();
