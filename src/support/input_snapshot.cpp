// Taking the input snapshot once per frame; the held keys with their quick-press latch, the mouse between frames.
#include "support/input_snapshot.h"

InputSnapshot inputSnapshot{};
int32_t wheelAccumulator = 0;

namespace {
uint32_t heldKeys = 0;
uint32_t pressedSinceSnapshot = 0;  // the latch: keys that went down since the last snapshot

constexpr uint32_t PolledMask()
{
    uint32_t mask = 0;
    for (InputKey key : polledKeys) mask |= key;
    return mask;
}
constexpr uint32_t polledMask = PolledMask();
}  // namespace

void PressKeys(uint32_t keys)
{
    keys &= polledMask;
    pressedSinceSnapshot |= keys & ~heldKeys;  // a repeat of a held key is no new press
    heldKeys |= keys;
}

void ReleaseKeys(uint32_t keys)
{
    heldKeys &= ~keys;
}

void RecordKeys(uint32_t keys, bool down)
{
    if (down) {
        PressKeys(keys);
    } else {
        ReleaseKeys(keys);
    }
}

void SetHeldKeys(uint32_t keys)
{
    ReleaseKeys(heldKeys & ~keys);
    PressKeys(keys);
}

void ResetHeldKeys()
{
    heldKeys = 0;
    pressedSinceSnapshot = 0;
}

uint32_t HeldKeys()
{
    return heldKeys;
}

void TakeInputSnapshot()
{
    inputSnapshot.previousKeys = inputSnapshot.currentKeys;
    inputSnapshot.currentKeys = heldKeys | pressedSinceSnapshot;
    pressedSinceSnapshot = 0;
    inputSnapshot.wheelDelta = wheelAccumulator;
    wheelAccumulator = 0;
}

void RecordMouseMove(int32_t x, int32_t y)
{
    inputSnapshot.mouseX = static_cast<int32_t>(static_cast<uint32_t>(x) & 0xFFFFu);
    inputSnapshot.mouseY = static_cast<int32_t>(static_cast<uint32_t>(y) & 0xFFFFu);
}

void RecordMouseWheel(int32_t delta)
{
    wheelAccumulator += static_cast<int16_t>(static_cast<uint32_t>(delta) & 0xFFFFu);
}

uint32_t PressedKeys()
{
    return ~inputSnapshot.previousKeys & inputSnapshot.currentKeys;
}

bool WasPressed(InputKey key)
{
    return (PressedKeys() & key) != 0;
}
