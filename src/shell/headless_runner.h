// The headless front end: runs game frames back to back from an input script, with traces and screenshots.
#pragma once

// argv is the whole command line, "--headless" among its options. Returns the process exit code:
// 0 when the frames ran, 1 when the game ended on a failed data load, 2 for
// bad arguments, a bad script or an output that cannot be written.
int RunHeadless(int argc, char** argv);
