// SDL's key, button, motion and wheel events into the shared held keys and the snapshot's mouse.
#include "shell/window_input.h"

#include <cstdint>

#include "cursor/key_cursor.h"

namespace {
constexpr int32_t wheelNotch = 120;

int32_t inputScale = 1;
// Left and right modifier keys are kept apart: the game's bit is down while either is.
bool leftControl = false;
bool rightControl = false;
bool leftShift = false;
bool rightShift = false;

uint32_t KeyBitFor(SDL_Keycode key)
{
    switch (key) {
    case SDLK_LEFT: return InputKey::Left;
    case SDLK_UP: return InputKey::Up;
    case SDLK_RIGHT: return InputKey::Right;
    case SDLK_DOWN: return InputKey::Down;
    case SDLK_SPACE: return InputKey::Space;
    case SDLK_RETURN: return InputKey::Return;
    case SDLK_ESCAPE: return InputKey::Escape;
    case SDLK_TAB: return InputKey::Tab;
    default: return 0;
    }
}

// The virtual key number of the keys the key cursor maps: arrows, Enter, Space and R.
int32_t VirtualKeyFor(SDL_Keycode key)
{
    switch (key) {
    case SDLK_LEFT: return 0x25;
    case SDLK_UP: return 0x26;
    case SDLK_RIGHT: return 0x27;
    case SDLK_DOWN: return 0x28;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return 0x0D;
    case SDLK_SPACE: return 0x20;
    case SDLK_r: return 0x52;
    default: return 0;
    }
}

// The mouse was used at (x, y): it takes over from the keys. A move to where
// the key cursor put the pointer is the warp's own echo.
void MouseUsed(int32_t x, int32_t y, bool moveOnly)
{
    if (moveOnly && keyCursor.active && x == keyCursor.position.x && y == keyCursor.position.y) return;
    RecordMouseUsed(x, y);
}

uint32_t ButtonBitFor(uint8_t button)
{
    if (button == SDL_BUTTON_LEFT) return InputKey::LeftButton;
    if (button == SDL_BUTTON_RIGHT) return InputKey::RightButton;
    return 0;
}

void RecordKey(SDL_Keycode key, bool down)
{
    switch (key) {
    case SDLK_LCTRL: leftControl = down; break;
    case SDLK_RCTRL: rightControl = down; break;
    case SDLK_LSHIFT: leftShift = down; break;
    case SDLK_RSHIFT: rightShift = down; break;
    default: RecordKeys(KeyBitFor(key), down); return;
    }
    RecordKeys(InputKey::Control, leftControl || rightControl);
    RecordKeys(InputKey::Shift, leftShift || rightShift);
}
}  // namespace

void SetWindowInputScale(int32_t scale)
{
    inputScale = scale;
}

void RecordWindowInput(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        RecordKey(event.key.keysym.sym, event.type == SDL_KEYDOWN);
        RecordCursorKey(CursorControlsForVirtualKey(VirtualKeyFor(event.key.keysym.sym)), event.type == SDL_KEYDOWN);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        RecordKeys(ButtonBitFor(event.button.button), event.type == SDL_MOUSEBUTTONDOWN);
        RecordMouseMove(event.button.x / inputScale, event.button.y / inputScale);
        MouseUsed(event.button.x / inputScale, event.button.y / inputScale, false);
        break;
    case SDL_MOUSEMOTION:
        RecordMouseMove(event.motion.x / inputScale, event.motion.y / inputScale);
        MouseUsed(event.motion.x / inputScale, event.motion.y / inputScale, true);
        break;
    case SDL_MOUSEWHEEL: RecordMouseWheel(event.wheel.y * wheelNotch); break;
    case SDL_WINDOWEVENT:
        // A button let go outside the window sends no event there; take the
        // buttons' real state when the pointer comes back.
        if (event.window.event == SDL_WINDOWEVENT_ENTER) {
            uint32_t buttons = SDL_GetGlobalMouseState(nullptr, nullptr);
            RecordKeys(InputKey::LeftButton, (buttons & SDL_BUTTON_LMASK) != 0);
            RecordKeys(InputKey::RightButton, (buttons & SDL_BUTTON_RMASK) != 0);
        }
        break;
    default: break;
    }
}
