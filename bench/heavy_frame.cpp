// Builds the heaviest play frame from 2 x 4 blocks and a 6 x 6 offered piece of 60 edges.
#include "heavy_frame.h"

#include <cstring>

#include "game/celebration.h"
#include "game/game_frame.h"
#include "game/stage_play.h"
#include "support/input_snapshot.h"

namespace {
constexpr int32_t blockWidth = 4;
constexpr int32_t blockHeight = 2;
constexpr int32_t offeredSide = 6;
constexpr int32_t boardWidth = maxBoardWidth;
constexpr int32_t gridColumns = 2 * boardWidth;
constexpr int32_t gridRows = 14;  // the most rows a board this wide gets
}  // namespace

void SetUpHeavyPlayFrame()
{
    if (!banner.has_value()) ConstructBanner();
    StageFile& stage = stages[0];
    std::memset(&stage, 0, sizeof stage);
    stage.magic = stageFileMagic;
    stage.boardWidth = boardWidth;
    stage.boardHeight = gridRows;
    int32_t count = 0;
    for (int32_t y = 0; y < gridRows; y += blockHeight) {
        for (int32_t x = 0; x < gridColumns; x += blockWidth) {
            PieceShape& shape = stage.shapes[count++];
            shape.cellCount = blockWidth * blockHeight;
            for (int32_t k = 0; k < shape.cellCount; ++k) shape.cells[k] = {k % blockWidth, k / blockWidth};
        }
    }
    PieceShape& offered = stage.shapes[count++];
    offered.cellCount = offeredSide * offeredSide;
    for (int32_t k = 0; k < offered.cellCount; ++k) {
        offered.cells[k] = {k % offeredSide - offeredSide / 2, k / offeredSide - offeredSide / 2};
    }
    stage.pieceCount = count;
    currentStage = 0;
    StartStagePlay();

    int32_t index = 0;
    for (int32_t y = 0; y < gridRows; y += blockHeight) {
        for (int32_t x = 0; x < gridColumns; x += blockWidth) {
            Piece& piece = pieces[index++];
            piece.rotation = 0;
            piece.placed = 1;
            piece.cellX = x;
            piece.cellY = y;
        }
    }
    pieces[index].rotation = 0;
    playState = Choosing;
    chooserPiece = index;
    inputSnapshot = {};
    inputSnapshot.mouseX = 320;
    inputSnapshot.mouseY = 240;
    // The data is in place: frames go straight to the play of stage 0.
    dataLoadPending = false;
    gameMode = playMode;
}
