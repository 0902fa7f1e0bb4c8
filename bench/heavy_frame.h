// The heaviest legal play frame: a 20 x 14 grid full of placed pieces with the chooser open over them.
#pragma once

// Sets up stage 0 and the play state for it, so that GameFrame plays it;
// canvas 0 must exist.
void SetUpHeavyPlayFrame();
