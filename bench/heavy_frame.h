// The heaviest legal play frame: a 20 x 14 grid full of placed pieces with the chooser open over them.
#pragma once

// Sets up stage 0 and the play state for it; canvas 0 must exist.
void SetUpHeavyPlayFrame();

// One play frame of that state, logic and drawing, as the game runs it.
void RunHeavyPlayFrame();
