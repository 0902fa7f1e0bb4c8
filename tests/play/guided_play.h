// Play that works towards a solution, as a player would click: shared by the soak and the clear planner.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/data_files.h"
#include "support/point.h"

// The turn and grid cell a piece must have in the solution; rotation -1 for a piece it leaves out.
struct Target {
    int32_t rotation;
    Point cell;
};

// Each piece's target in the first solution the reference solver finds under the game's rules.
std::vector<Target> FindTargets(const StageFile& stage);

// The next click towards the targets in the current stage, on even frames
// (odd frames release, so every press is a new one): moves the mouse and
// returns the buttons to hold.
uint32_t GuidedButtons(const std::vector<Target>& targets, int64_t frame);

// The game saves its clear: a planner plays in a fresh copy of the stage
// directory, never in the one it was given. Enters the copy and returns its
// path, or an empty one when it cannot be made.
std::string EnterStageCopy(const std::string& stageDir, const char* pattern);
