// What the C++ side asks of the page's script: show a picture, the dialog, the end of the game, the set and its making.
#pragma once

#include <cstdint>

// Puts the converted picture (the page keeps a view of it) on the canvas.
void ShowPicture(const uint8_t* rgba);

// The modal dialog with one OK button; the page calls tessera_dialog_closed when it goes.
void ShowDialog(const char* caption, const char* text);

// The game is over: the page says so and offers to start again.
void ShowGameEnded();

// The game has its files and runs (or, under a test, waits for its frames).
void AnnounceReady(bool test);

// Which stage set the page plays: its label, the pack's name (empty for the
// shipped stages), the level to offer for new packs (empty: the player's
// last choice) and a line for the player (empty: none).
void ShowSet(const char* label, const char* pack, const char* level, const char* note);

// The pack named must be made by the page's worker and its files handed
// over; the page calls tessera_pack_made when they are.
void MakePackInWorker(const char* pack);
