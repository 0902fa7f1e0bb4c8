// The window's key, button, mouse-move and wheel messages into the shared held keys and the snapshot's mouse.
#pragma once

#include <windows.h>

#include <cstdint>

// The window shows the picture this many times larger; mouse positions are
// divided by it, so the game sees its own client pixels.
void SetWindowInputScale(int32_t scale);

// Called for every message before the window handles it; acts on the input
// messages only and never consumes one.
void RecordWindowInput(UINT message, WPARAM wParam, LPARAM lParam);

// Moves the system pointer to where keys or a pad put the game's mouse.
void ShowKeyCursor();
