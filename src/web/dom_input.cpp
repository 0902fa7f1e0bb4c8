// DOM input mapping: key codes, buttons and scaled positions on the shown canvas.
#include "web/dom_input.h"

namespace {
struct KeyCodeBit {
    int32_t keyCode;
    uint32_t bit;
};

// DOM keyCodes are the virtual key numbers the game's keys are defined by.
constexpr KeyCodeBit keyCodes[] = {
    {0x25, InputKey::Left},    {0x26, InputKey::Up},     {0x27, InputKey::Right},   {0x28, InputKey::Down},
    {0x20, InputKey::Space},   {0x0D, InputKey::Return}, {0x11, InputKey::Control}, {0x1B, InputKey::Escape},
    {0x09, InputKey::Tab},     {0x10, InputKey::Shift},
};
constexpr int32_t leftMouseButton = 0;
constexpr int32_t rightMouseButton = 2;
}  // namespace

uint32_t KeyBitForKeyCode(int32_t keyCode)
{
    for (const KeyCodeBit& key : keyCodes) {
        if (key.keyCode == keyCode) return key.bit;
    }
    return 0;
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
