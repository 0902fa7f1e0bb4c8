// DrawPlayField: redraws the whole play picture on canvas 0 from the play state, changing none of it.
#include "game/play_field.h"

#include "draw/canvas.h"
#include "game/board_layout.h"
#include "game/game_fonts.h"
#include "game/piece_outline.h"
#include "game/stage_play.h"
#include "support/input_snapshot.h"

namespace {
constexpr uint8_t freeCellShade = 80;
constexpr uint8_t boardCellRed = 100;
constexpr uint8_t boardCellShade = 80;
constexpr uint8_t dimShade = 150;
constexpr uint8_t noticeShade = 240;
constexpr int32_t hoverLift = 20;
constexpr int32_t panelLeft = 100;
constexpr int32_t panelTop = 50;
constexpr int32_t panelRight = 540;
constexpr int32_t panelBottom = 430;
constexpr int32_t noticeTop = 210;
constexpr char noticeText[] = "NO Block";

void SetPieceColor(Canvas& canvas, const Piece& piece, int32_t lift)
{
    canvas.setColor(static_cast<uint8_t>(piece.color[0] + lift), static_cast<uint8_t>(piece.color[1] + lift),
                    static_cast<uint8_t>(piece.color[2] + lift));
}

void DrawGrid(Canvas& canvas, const StageFile& stage)
{
    int32_t size = BoardLayout::cellSize;
    int32_t half = size / 2;
    for (int32_t i = 0; i < BoardLayout::columns; ++i) {
        for (int32_t j = 0; j < BoardLayout::rows; ++j) {
            canvas.setColor(freeCellShade, freeCellShade, freeCellShade);
            if (i < stage.boardWidth && j < stage.boardHeight) {
                canvas.setColor(boardCellRed, boardCellShade, boardCellShade);
            }
            int32_t cx = i * size + BoardLayout::originX;
            int32_t cy = j * size + BoardLayout::originY;
            canvas.rectangle(cx - half + 1, cy - half + 1, cx + half - 1, cy + half - 1);
        }
    }
}

void DrawPlacedPieces(Canvas& canvas, const StageFile& stage)
{
    for (int32_t i = 0; i < stage.pieceCount; ++i) {
        const Piece& piece = pieces[i];
        if (piece.placed != 1 || i == carriedPiece) continue;
        canvas.moveTo(piece.cellX * BoardLayout::cellSize + BoardLayout::originX,
                      piece.cellY * BoardLayout::cellSize + BoardLayout::originY);
        SetPieceColor(canvas, piece, 0);
        DrawPieceOutline(piece);
    }
}

void DrawChooser(Canvas& canvas)
{
    canvas.setColor(dimShade, dimShade, dimShade);
    blendRect(panelLeft, panelTop, panelRight, panelBottom);
    if (chooserPiece != -1) {
        const Piece& piece = pieces[chooserPiece];
        canvas.moveTo(chooserOrigin.x, chooserOrigin.y);
        SetPieceColor(canvas, piece, 0);
        if (chooserHover != 0) SetPieceColor(canvas, piece, hoverLift);
        DrawPieceOutline(piece);
    } else {
        canvas.setFont(gameFace, noticeHeight);
        canvas.moveTo(chooserOrigin.x, noticeTop);
        canvas.setColor(noticeShade, noticeShade, noticeShade);
        canvas.textOutCentered(noticeText);
    }
}
}  // namespace

void DrawPlayField()
{
    currentCanvas = 0;
    Canvas& canvas = canvases[currentCanvas];
    const StageFile& stage = CurrentStage();
    canvas.setColor(0, 0, 0);
    canvas.clear();
    DrawGrid(canvas, stage);
    DrawPlacedPieces(canvas, stage);
    if (playState == Dragging) {
        canvas.moveTo(inputSnapshot.mouseX + grabOffsetX, inputSnapshot.mouseY + grabOffsetY);
        SetPieceColor(canvas, pieces[carriedPiece], 0);
        DrawPieceOutline(pieces[carriedPiece]);
    }
    if (playState == Choosing) DrawChooser(canvas);
}
