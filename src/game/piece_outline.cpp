// DrawPieceOutline: both passes over the same end points, all rims first so no core is covered.
#include "game/piece_outline.h"

#include "draw/canvas.h"
#include "game/board_layout.h"

namespace {
constexpr int32_t rimInset = 8;
constexpr int32_t coreInset = 16;
constexpr int32_t coreLift = 20;

void StrokeEdges(Canvas& canvas, const Point* starts, const Point* ends, int32_t count)
{
    for (int32_t k = 0; k < count; ++k) {
        canvas.moveTo(starts[k].x, starts[k].y);
        canvas.lineTo(ends[k].x, ends[k].y);
    }
}
}  // namespace

void DrawPieceOutline(const Piece& piece)
{
    Canvas& canvas = canvases[currentCanvas];
    Point origin = {canvas.penX, canvas.penY};
    uint8_t red = canvas.red;
    uint8_t green = canvas.green;
    uint8_t blue = canvas.blue;

    Point starts[maxPieceEdges];
    Point ends[maxPieceEdges];
    int32_t count = piece.edgeCount < maxPieceEdges ? piece.edgeCount : maxPieceEdges;
    for (int32_t k = 0; k < count; ++k) {
        Point a = CellPixelOffset(piece, piece.edges[k].first);
        Point b = CellPixelOffset(piece, piece.edges[k].second);
        starts[k] = {origin.x + a.x, origin.y + a.y};
        ends[k] = {origin.x + b.x, origin.y + b.y};
    }

    canvas.setColor(red, green, blue);
    canvas.updatePen(BoardLayout::cellSize - rimInset);
    StrokeEdges(canvas, starts, ends, count);

    canvas.setColor(static_cast<uint8_t>(red + coreLift), static_cast<uint8_t>(green + coreLift),
                    static_cast<uint8_t>(blue + coreLift));
    canvas.updatePen(BoardLayout::cellSize - coreInset);
    StrokeEdges(canvas, starts, ends, count);
}
