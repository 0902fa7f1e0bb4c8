// The game in its SDL window: the fixed 50 ms frame loop, the paint from canvas 0 and the close paths.
#pragma once

// argv is the whole command line. Returns the exit code,
// which is 0 however the window closed, and also when no window can be made.
int RunWindow(int argc, char** argv);
