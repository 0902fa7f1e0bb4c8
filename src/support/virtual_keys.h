// The game's twelve key bits by the virtual key numbers they are defined by (the same numbers as DOM keyCodes).
#pragma once

#include <cstdint>

#include "support/input_snapshot.h"

struct VirtualKeyBit {
    int32_t virtualKey;
    InputKey bit;
};

// In the order a snapshot polls them; the mouse buttons have virtual keys of their own.
constexpr VirtualKeyBit virtualKeyBits[] = {
    {0x25, InputKey::Left},       {0x26, InputKey::Up},          {0x27, InputKey::Right}, {0x28, InputKey::Down},
    {0x20, InputKey::Space},      {0x0D, InputKey::Return},      {0x11, InputKey::Control}, {0x1B, InputKey::Escape},
    {0x01, InputKey::LeftButton}, {0x02, InputKey::RightButton}, {0x09, InputKey::Tab},   {0x10, InputKey::Shift},
};

// The bit of a keyboard key's virtual key; 0 for the mouse buttons and for keys the game does not poll.
uint32_t KeyBitForVirtualKey(int32_t virtualKey);
