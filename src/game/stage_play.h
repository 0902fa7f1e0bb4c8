// Play of one stage: the deal, the hover search, and the Idle, Dragging and Choosing handlers.
#pragma once

#include <cstdint>

#include "game/data_files.h"
#include "game/piece.h"
#include "support/point.h"

enum PlayState : int32_t {
    Idle = 0,
    Dragging = 1,
    Choosing = 2,
    Cleared = 3,
};

constexpr int32_t maxGridColumns = 2 * maxBoardWidth;
constexpr int32_t maxGridRows = 20;
constexpr Point chooserOrigin = {320, 240};

extern int32_t playState;
extern int32_t carriedPiece;
extern int32_t grabOffsetX;
extern int32_t grabOffsetY;
extern int32_t hoveredPiece;
extern int32_t chooserPiece;
extern uint8_t chooserHover;
extern Piece pieces[maxPieces];

// The stage being played, stages[currentStage].
const StageFile& CurrentStage();

void StartStagePlay();
void UpdateHoveredPiece();
void UpdateStagePlay();
void DropCarriedPiece();
