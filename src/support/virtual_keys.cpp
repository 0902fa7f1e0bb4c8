// KeyBitForVirtualKey: a look-up in the table of the game's keys.
#include "support/virtual_keys.h"

namespace {
constexpr uint32_t mouseButtons = InputKey::LeftButton | InputKey::RightButton;
}  // namespace

uint32_t KeyBitForVirtualKey(int32_t virtualKey)
{
    for (const VirtualKeyBit& key : virtualKeyBits) {
        if (key.virtualKey == virtualKey) return key.bit & ~mouseButtons;
    }
    return 0;
}
