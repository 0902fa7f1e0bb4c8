// DOM input mapping: key codes, buttons and scaled positions on the shown canvas.
#include "web/dom_input.h"

#include "support/virtual_keys.h"

namespace {
constexpr int32_t leftMouseButton = 0;
constexpr int32_t rightMouseButton = 2;
}  // namespace

// DOM keyCodes are the virtual key numbers the game's keys are defined by.
uint32_t KeyBitForKeyCode(int32_t keyCode)
{
    return KeyBitForVirtualKey(keyCode);
}

uint32_t KeyBitForMouseButton(int32_t button)
{
    if (button == leftMouseButton) return InputKey::LeftButton;
    if (button == rightMouseButton) return InputKey::RightButton;
    return 0;
}

int32_t CanvasPixel(double position, double shownSize, int32_t pixels)
{
    if (!(shownSize > 0) || !(position > 0)) return 0;
    double scaled = position * pixels / shownSize;
    if (scaled >= pixels - 1) return pixels - 1;
    return static_cast<int32_t>(scaled);
}
