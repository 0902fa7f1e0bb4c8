// A piece in play: its shape, adjacency edges, turn, colour and grid cell, with the shared geometry.
#pragma once

#include <cstdint>

#include "game/data_files.h"
#include "support/point.h"

struct PieceEdge {
    int32_t first;
    int32_t second;
};

struct Piece {
    const PieceShape* shape;
    int32_t edgeCount;
    PieceEdge edges[maxPieceEdges];
    int32_t rotation;
    int32_t savedRotation;
    int32_t color[3];
    int32_t placed;
    int32_t cellX;
    int32_t cellY;
};

// Quarter turns clockwise on screen; any r outside 1..3 leaves the pair as it is.
void RotateOffset(Point& offset, int32_t r);

// Cell k's offset from the piece's origin cell, turned by the piece's rotation.
Point TurnedCell(const Piece& piece, int32_t k);

// Pixel offset of cell k's centre from the piece's pixel position, at the current cell size.
Point CellPixelOffset(const Piece& piece, int32_t k);

// Pairs of cells that share a side, each once, ordered by first then second
// index. Stores at most the table's 60 pairs.
void BuildPieceEdges(Piece& piece);
int32_t CountAdjacentCellPairs(const PieceShape& shape);

// True when the two cells share a side.
bool CellsAreAdjacent(Point a, Point b);

// True when the mouse lies strictly inside the cell-size square centred on the pixel.
bool MouseInCell(Point centre);
