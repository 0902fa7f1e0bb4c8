// The message box's helper process: it dies with the game, and the game can end it.
#pragma once

// SDL shows its box on X11 from a forked child that holds a copy of the
// game's display connection; while that child lives, the box and the game's
// window stay on screen. Call before SDL forks it: the child then takes the
// default action for the quit signals, is killed when the game ends in any
// way (SIGKILL included), and can be ended with EndBoxProcess.
void WatchBoxProcess();

// Ends the helper process, if one was started; its box disappears and the
// call that showed the box returns.
void EndBoxProcess();

// SDL's box takes its locale from the environment, and under the POSIX locale
// X draws none of its Japanese text. Where the environment names no UTF-8
// locale, the box gets C.UTF-8, which every Debian system has.
void GiveBoxUtf8Locale();
