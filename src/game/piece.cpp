// Piece geometry: quarter turns, cell pixel offsets, adjacency edges and the mouse-in-cell test.
#include "game/piece.h"

#include "game/board_layout.h"
#include "support/input_snapshot.h"

void RotateOffset(Point& offset, int32_t r)
{
    Point turned = offset;
    switch (r) {
    case 1: turned = {-offset.y, offset.x}; break;
    case 2: turned = {-offset.x, -offset.y}; break;
    case 3: turned = {offset.y, -offset.x}; break;
    default: break;
    }
    offset = turned;
}

Point TurnedCell(const Piece& piece, int32_t k)
{
    Point offset = piece.shape->cells[k];
    RotateOffset(offset, piece.rotation);
    return offset;
}

Point CellPixelOffset(const Piece& piece, int32_t k)
{
    Point offset = TurnedCell(piece, k);
    return {offset.x * BoardLayout::cellSize, offset.y * BoardLayout::cellSize};
}

void BuildPieceEdges(Piece& piece)
{
    piece.edgeCount = 0;
    const PieceShape& shape = *piece.shape;
    for (int32_t i = 0; i < shape.cellCount; ++i) {
        for (int32_t j = i + 1; j < shape.cellCount; ++j) {
            if (!CellsAreAdjacent(shape.cells[i], shape.cells[j])) continue;
            if (piece.edgeCount == maxPieceEdges) return;
            piece.edges[piece.edgeCount++] = {i, j};
        }
    }
}

int32_t CountAdjacentCellPairs(const PieceShape& shape)
{
    int32_t pairs = 0;
    for (int32_t i = 0; i < shape.cellCount; ++i) {
        for (int32_t j = i + 1; j < shape.cellCount; ++j) {
            if (CellsAreAdjacent(shape.cells[i], shape.cells[j])) ++pairs;
        }
    }
    return pairs;
}

bool CellsAreAdjacent(Point a, Point b)
{
    int32_t dx = a.x - b.x;
    int32_t dy = a.y - b.y;
    return (dy == 0 && (dx == 1 || dx == -1)) || (dx == 0 && (dy == 1 || dy == -1));
}

bool MouseInCell(Point centre)
{
    int32_t size = BoardLayout::cellSize;
    int32_t half = size / 2;
    int32_t left = centre.x - half;
    int32_t top = centre.y - half;
    int32_t mx = inputSnapshot.mouseX;
    int32_t my = inputSnapshot.mouseY;
    return left < mx && mx < left + size && top < my && my < top + size;
}
