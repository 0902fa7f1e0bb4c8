// SDL game controllers into the key cursor: the A, B and X buttons, the d-pad and the left stick.
#include "shell/window_pads.h"

#include "cursor/key_cursor.h"

namespace {
constexpr int32_t maxPads = 8;

SDL_GameController* pads[maxPads] = {};

struct PadButtonBit {
    SDL_GameControllerButton button;
    uint32_t bit;
};

constexpr PadButtonBit padButtons[] = {
    {SDL_CONTROLLER_BUTTON_A, PadA},           {SDL_CONTROLLER_BUTTON_B, PadB},
    {SDL_CONTROLLER_BUTTON_X, PadX},           {SDL_CONTROLLER_BUTTON_DPAD_UP, PadUp},
    {SDL_CONTROLLER_BUTTON_DPAD_DOWN, PadDown}, {SDL_CONTROLLER_BUTTON_DPAD_LEFT, PadLeft},
    {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, PadRight},
};

void OpenPad(int deviceIndex)
{
    SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(deviceIndex);
    for (SDL_GameController* pad : pads) {
        if (pad != nullptr && SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad)) == id) return;
    }
    for (SDL_GameController*& pad : pads) {
        if (pad == nullptr) {
            pad = SDL_GameControllerOpen(deviceIndex);
            return;
        }
    }
}

void ClosePad(SDL_JoystickID id)
{
    for (SDL_GameController*& pad : pads) {
        if (pad != nullptr && SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad)) == id) {
            SDL_GameControllerClose(pad);
            pad = nullptr;
        }
    }
}
}  // namespace

void RecordPadEvent(const SDL_Event& event)
{
    if (event.type == SDL_CONTROLLERDEVICEADDED) OpenPad(event.cdevice.which);
    if (event.type == SDL_CONTROLLERDEVICEREMOVED) ClosePad(event.cdevice.which);
}

uint32_t ReadPadControls()
{
    uint32_t controls = 0;
    for (SDL_GameController* pad : pads) {
        if (pad == nullptr) continue;
        uint32_t buttons = 0;
        for (const PadButtonBit& entry : padButtons) {
            if (SDL_GameControllerGetButton(pad, entry.button) != 0) buttons |= entry.bit;
        }
        controls |= CursorControlsForPad(buttons, SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTX),
                                         SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTY));
    }
    return controls;
}

void ClosePads()
{
    for (SDL_GameController*& pad : pads) {
        if (pad != nullptr) SDL_GameControllerClose(pad);
        pad = nullptr;
    }
}
