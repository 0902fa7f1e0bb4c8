// The page's game loop: a frame when the page's clock says so, the picture when it changed, the end of the game.
#pragma once

#include <cstdint>

// Starts the game: the recording, the first frame at once, then a frame every 50 ms.
void StartPageLoop(uint32_t seed);

// Esc, or a nonzero GameFrame: no frame runs after it; the page says the game
// has ended. While the dialog is open the end waits for it to close.
void EndPageGame();

// The handler of the game's message box: the page's modal dialog. Frames
// stop while it is open; the page calls tessera_dialog_closed when it goes.
int32_t ShowPageDialog(const char* text, int32_t type, const char* caption);
