// The per-frame input snapshot: twelve key bits now and a frame ago, the mouse and the wheel.
#pragma once

#include <cstdint>

enum InputKey : uint32_t {
    Left = 0x1,
    Up = 0x2,
    Right = 0x4,
    Down = 0x8,
    Space = 0x10,
    Return = 0x20,
    Control = 0x40,
    Escape = 0x80,
    LeftButton = 0x100,
    RightButton = 0x200,
    Tab = 0x400,
    Shift = 0x800,
};

// The keys in the order a snapshot polls them.
constexpr InputKey polledKeys[] = {
    InputKey::Left,   InputKey::Up,         InputKey::Right,       InputKey::Down,
    InputKey::Space,  InputKey::Return,     InputKey::Control,     InputKey::Escape,
    InputKey::LeftButton, InputKey::RightButton, InputKey::Tab,   InputKey::Shift,
};

struct InputSnapshot {
    uint32_t previousKeys;
    uint32_t currentKeys;
    int32_t mouseX;
    int32_t mouseY;
    int32_t wheelDelta;
};

extern InputSnapshot inputSnapshot;
extern int32_t wheelAccumulator;

// Every front end reports its key and button events here, as it handles them.
// A snapshot reads the keys held now and also every key that went down since
// the snapshot before, so a press and release that both fall between two
// frames (a tap, a quick click) is still seen, and its release one frame later.
void PressKeys(uint32_t keys);
void ReleaseKeys(uint32_t keys);
// One key or button event: the keys went down, or came up.
void RecordKeys(uint32_t keys, bool down);
// Exactly these keys are down now: presses for the new ones, releases for the rest.
void SetHeldKeys(uint32_t keys);
// Forgets every held and latched key, as at start.
void ResetHeldKeys();
uint32_t HeldKeys();

void TakeInputSnapshot();

// Mouse moves and wheel turns are recorded as they arrive, between snapshots.
// Positions are 16-bit values taken unsigned, the wheel turn a signed 16-bit value.
void RecordMouseMove(int32_t x, int32_t y);
void RecordMouseWheel(int32_t delta);

// Keys that are down now and were up in the previous snapshot.
uint32_t PressedKeys();
bool WasPressed(InputKey key);
