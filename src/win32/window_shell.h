// The game in its Windows window: options, window and frame loop, wired together, where main has moved the game.
#pragma once

// argv is the whole command line. Returns the exit code, which is 0 however
// the window closed, and also when no window can be made; 2 for bad options.
int RunWindow(int argc, char** argv);
