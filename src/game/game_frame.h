// GameFrame, the game's one entry from a front end: the data load and one frame of the current mode.
#pragma once

#include <cstdint>

constexpr int32_t stageSelectMode = 0;
constexpr int32_t playMode = 1;

extern bool dataLoadPending;
extern int32_t gameMode;
extern bool modeInitPending;
extern int32_t currentStage;

// Returns 0 normally, 1 when a stage file failed to load and the game must end.
int32_t GameFrame();

// For play-testing: once the data is loaded, go straight into play of this
// stage, as if it had been chosen on the stage select screen. -1 for none.
void RequestStageAtLoad(int32_t stage);
