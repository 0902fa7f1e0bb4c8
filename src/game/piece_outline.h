// Drawing a piece as rounded strokes between its adjacent cells: a wide rim, then a lighter core.
#pragma once

#include "game/piece.h"

// Draws at the current canvas's pen position in its current colour.
void DrawPieceOutline(const Piece& piece);
