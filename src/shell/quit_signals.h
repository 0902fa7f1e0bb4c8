// SIGTERM, SIGINT and SIGHUP as a request to close the window, seen by the frame loop.
#pragma once

// Catches the three signals; from then on each only sets the request.
void CatchQuitSignals();

// True once one of them has arrived.
bool QuitSignalled();
