// SDL game controllers into the key cursor: the A, B and X buttons, the d-pad and the left stick.
#include "shell/window_pads.h"

#include "cursor/key_cursor.h"

namespace {
constexpr int32_t maxPads = 8;

struct Pad {
    SDL_GameController* controller = nullptr;
    SDL_JoystickID id = -1;
    uint32_t buttons = 0;
    int32_t stickX = 0;
    int32_t stickY = 0;
};

Pad pads[maxPads];

uint32_t PadBit(uint8_t button)
{
    switch (button) {
    case SDL_CONTROLLER_BUTTON_A: return PadA;
    case SDL_CONTROLLER_BUTTON_B: return PadB;
    case SDL_CONTROLLER_BUTTON_X: return PadX;
    case SDL_CONTROLLER_BUTTON_DPAD_UP: return PadUp;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN: return PadDown;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT: return PadLeft;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: return PadRight;
    default: return 0;
    }
}

Pad* FindPad(SDL_JoystickID id)
{
    for (Pad& pad : pads) {
        if (pad.controller != nullptr && pad.id == id) return &pad;
    }
    return nullptr;
}

void OpenPad(int deviceIndex)
{
    if (FindPad(SDL_JoystickGetDeviceInstanceID(deviceIndex)) != nullptr) return;
    for (Pad& pad : pads) {
        if (pad.controller != nullptr) continue;
        pad.controller = SDL_GameControllerOpen(deviceIndex);
        if (pad.controller != nullptr) pad.id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad.controller));
        return;
    }
}

// The controls every pad holds, together.
void TellCursor()
{
    uint32_t controls = 0;
    for (const Pad& pad : pads) {
        if (pad.controller != nullptr) controls |= CursorControlsForPad(pad.buttons, pad.stickX, pad.stickY);
    }
    RecordPadControls(controls);
}
}  // namespace

void RecordPadEvent(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED: OpenPad(event.cdevice.which); break;
    case SDL_CONTROLLERDEVICEREMOVED:
        if (Pad* pad = FindPad(event.cdevice.which)) {
            SDL_GameControllerClose(pad->controller);
            *pad = Pad{};
            TellCursor();
        }
        break;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
        if (Pad* pad = FindPad(event.cbutton.which)) {
            uint32_t bit = PadBit(event.cbutton.button);
            pad->buttons = event.type == SDL_CONTROLLERBUTTONDOWN ? pad->buttons | bit : pad->buttons & ~bit;
            TellCursor();
        }
        break;
    case SDL_CONTROLLERAXISMOTION:
        if (Pad* pad = FindPad(event.caxis.which)) {
            if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX) pad->stickX = event.caxis.value;
            if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY) pad->stickY = event.caxis.value;
            TellCursor();
        }
        break;
    default: break;
    }
}

void ClosePads()
{
    for (Pad& pad : pads) {
        if (pad.controller != nullptr) SDL_GameControllerClose(pad.controller);
        pad = Pad{};
    }
}
