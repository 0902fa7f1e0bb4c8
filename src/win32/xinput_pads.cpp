// ReadXInputControls: the four XInput slots' buttons and left sticks as the key cursor's controls.
#include "win32/xinput_pads.h"

#include <windows.h>

#include <xinput.h>

#include "cursor/key_cursor.h"

namespace {
constexpr DWORD padSlots = 4;  // XUSER_MAX_COUNT

using GetStateFunction = DWORD(WINAPI*)(DWORD, XINPUT_STATE*);

struct ButtonBit {
    WORD button;
    uint32_t bit;
};

constexpr ButtonBit buttonBits[] = {
    {XINPUT_GAMEPAD_A, PadA},          {XINPUT_GAMEPAD_B, PadB},
    {XINPUT_GAMEPAD_X, PadX},          {XINPUT_GAMEPAD_DPAD_UP, PadUp},
    {XINPUT_GAMEPAD_DPAD_DOWN, PadDown}, {XINPUT_GAMEPAD_DPAD_LEFT, PadLeft},
    {XINPUT_GAMEPAD_DPAD_RIGHT, PadRight},
};

GetStateFunction LoadGetState()
{
    static bool tried = false;
    static GetStateFunction getState = nullptr;
    if (!tried) {
        tried = true;
        HMODULE library = LoadLibraryW(L"xinput1_4.dll");
        if (library != nullptr) {
            getState = reinterpret_cast<GetStateFunction>(
                reinterpret_cast<void*>(GetProcAddress(library, "XInputGetState")));
        }
    }
    return getState;
}
}  // namespace

uint32_t ReadXInputControls()
{
    GetStateFunction getState = LoadGetState();
    if (getState == nullptr) return 0;
    uint32_t controls = 0;
    for (DWORD slot = 0; slot < padSlots; ++slot) {
        XINPUT_STATE state{};
        if (getState(slot, &state) != ERROR_SUCCESS) continue;
        uint32_t buttons = 0;
        for (const ButtonBit& entry : buttonBits) {
            if ((state.Gamepad.wButtons & entry.button) != 0) buttons |= entry.bit;
        }
        // XInput's stick points up for positive Y; the cursor's down.
        controls |= CursorControlsForPad(buttons, state.Gamepad.sThumbLX, -1 - state.Gamepad.sThumbLY);
    }
    return controls;
}
