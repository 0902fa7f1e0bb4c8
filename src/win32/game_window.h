// The game's one window: its class, its creation with canvas 0, its message handling and the repaint request.
#pragma once

#include <windows.h>

#include <cstdint>

extern HWND mainWindow;

// What the window's creation needs: the generator's seed and how many times larger the picture is shown.
struct GameWindowSettings {
    uint32_t seed;
    int32_t scale;
};

// Nonzero on success.
ATOM RegisterGameClass(HINSTANCE instance);

// Creates, shows and paints the window: a fixed client area of the picture's
// size times the scale. True on success.
bool CreateGameWindow(HINSTANCE instance, int showCommand, const GameWindowSettings& settings);

// Marks the whole client area for repainting, without erasing it.
void RequestRepaint();
