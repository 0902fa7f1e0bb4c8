// The stage select screen: ten sliding bars, one per stage, each marked cleared or not.
#pragma once

#include <cstdint>

#include "game/data_files.h"
#include "game/piece.h"
#include "support/point.h"

extern Point menuEntries[stageCount];
extern int32_t chosenEntry;
extern int32_t slideSpeed;
extern int32_t hoverEntry;
extern PieceShape entryShape;
extern Piece entryPiece;

void StartStageSelect();
void UpdateStageSelect();
void DrawStageSelect();
