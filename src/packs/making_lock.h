// The lock a pack's maker holds on its .making folder while it runs, so that a later maker knows a leftover from a live one.
#pragma once

#include <cstdint>
#include <string>

struct MakingLock {
    intptr_t handle = -1;  // a file descriptor or a Windows handle; -1 when none is held
};

// Creates the file at path (never through a link, never over anything) and
// holds it locked until ReleaseMakingLock or the process's end, even a killed
// one. False when it cannot be made.
bool HoldMakingLock(const std::string& path, MakingLock& lock);

void ReleaseMakingLock(MakingLock& lock);

// Whether a running process holds the lock file at path. A file no one
// holds, or no file there, answers false.
bool MakingLockHeld(const std::string& path);
