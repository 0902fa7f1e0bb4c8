// The one message box of the game, shown through whatever front end is running.
#pragma once

#include <cstdint>

constexpr int32_t messageBoxOk = 0;  // one OK button, no icon
constexpr int32_t messageBoxIdOk = 1;

// A front end that can show a real box installs its handler; without one the
// caption and text go to stderr.
using MessageBoxHandler = int32_t (*)(const char* text, int32_t type, const char* caption);
void SetMessageBoxHandler(MessageBoxHandler handler);

// Returns the id of the button that closed the box, once the player has closed it.
int32_t ShowMessageBox(const char* text, int32_t type, const char* caption);
