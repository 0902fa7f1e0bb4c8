// Taking the input snapshot once per frame and recording the mouse between frames.
#include "support/input_snapshot.h"

InputSnapshot inputSnapshot{};
int32_t wheelAccumulator = 0;

namespace {
KeyStateReader keyStateReader = nullptr;
}  // namespace

void SetKeyStateReader(KeyStateReader reader)
{
    keyStateReader = reader;
}

void TakeInputSnapshot()
{
    inputSnapshot.previousKeys = inputSnapshot.currentKeys;
    uint32_t keys = 0;
    if (keyStateReader != nullptr) {
        for (InputKey key : polledKeys) {
            if (keyStateReader(key)) keys |= key;
        }
    }
    inputSnapshot.currentKeys = keys;
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
