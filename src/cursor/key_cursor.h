// Keys and pads as the game's mouse: steps between the game's targets and presses of its two buttons, one action a frame.
#pragma once

#include <cstdint>

#include "support/point.h"

// What a key or a pad button does; a front end maps its own codes to these.
enum CursorControl : uint32_t {
    CursorLeft = 0x1,
    CursorRight = 0x2,
    CursorUp = 0x4,
    CursorDown = 0x8,
    CursorPress = 0x10,  // the left button: take, drop, choose, open the chooser, close "Perfect!"
    CursorTurn = 0x20,   // the right button: turn the carried piece, offer the chooser's next piece
};
constexpr uint32_t cursorDirections = CursorLeft | CursorRight | CursorUp | CursorDown;

// A held direction steps again after this many frames (0.4 s), then every interval (0.1 s).
constexpr int32_t cursorRepeatDelayFrames = 8;
constexpr int32_t cursorRepeatIntervalFrames = 2;
// Key and pad changes waiting for their frame; far more than anyone presses in one.
constexpr int32_t cursorQueueSize = 256;

struct CursorEvent {
    uint32_t control;
    bool down;
};

struct KeyCursor {
    bool active = false;  // keys or a pad steer the mouse; the mouse or a finger takes over when used
    Point position = {0, 0};  // the mouse, where the cursor put it or the real one was last seen
    uint32_t keyControls = 0;  // held on the keyboard
    uint32_t padControls = 0;  // held on a pad, as last read
    uint32_t heldDirections = 0;  // directions whose press has been applied and not yet released
    int32_t heldFrames = 0;
    bool chooserWasOpen = false;
    CursorEvent queue[cursorQueueSize] = {};
    int32_t queueStart = 0;
    int32_t queueCount = 0;
};

extern KeyCursor keyCursor;

void ResetKeyCursor();

// A key that maps to controls went down or up. A repeat the system sends
// for a held key changes nothing: the cursor repeats by itself.
void RecordCursorKey(uint32_t controls, bool down);

// The controls a pad holds now, read once a frame; what changed is queued like keys.
void RecordPadControls(uint32_t controls);

// The mouse or a finger moved or pressed at (x, y): it takes over, and the
// next key starts from the target nearest to it.
void RecordMouseUsed(int32_t x, int32_t y);

// Once a frame, before the snapshot: applies the queued changes up to the
// first press (a step or a button), so each lands in a frame of its own in
// the order it was made; repeats held directions; follows the chooser onto
// the piece it offers. Moves go to the snapshot's mouse. Returns whether the
// mouse moved, for the front end to show the cursor at keyCursor.position.
bool StepKeyCursor();

// The controls of a key by its virtual key number (the Windows and DOM key
// codes): arrows step, Enter and Space press, R turns; 0 for every other key.
uint32_t CursorControlsForVirtualKey(int32_t virtualKey);

// A pad's buttons in the standard layout, and its left stick.
enum PadButton : uint32_t {
    PadA = 0x1,
    PadB = 0x2,
    PadX = 0x4,
    PadUp = 0x8,
    PadDown = 0x10,
    PadLeft = 0x20,
    PadRight = 0x40,
};

// The controls a pad holds: A presses, B and X turn, the d-pad steps, and so
// does the left stick pushed past half way (stickX right, stickY down, each
// -32768 to 32767). No pad button ends the game.
uint32_t CursorControlsForPad(uint32_t buttons, int32_t stickX, int32_t stickY);
