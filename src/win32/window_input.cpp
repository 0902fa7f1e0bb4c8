// RecordWindowInput: key, button, mouse-move, wheel and focus messages into the shared input state.
// The game's InputKey::Escape and GDI's Escape() share a name: this file needs no GDI.
#define NOGDI
#include "win32/window_input.h"

#include "cursor/key_cursor.h"
#include "support/input_snapshot.h"
#include "support/virtual_keys.h"
#include "win32/game_window.h"

namespace {
constexpr SHORT keyDownBit = static_cast<SHORT>(0x8000);

int32_t inputScale = 1;

bool KeyDownNow(int virtualKey)
{
    return (GetKeyState(virtualKey) & keyDownBit) != 0;
}

// Left and right Shift (and Control) both arrive as the one virtual key; its
// state after this message says whether either is still down.
void RecordKeyMessage(WPARAM virtualKey, bool down)
{
    uint32_t bit = KeyBitForVirtualKey(static_cast<int32_t>(virtualKey));
    RecordCursorKey(CursorControlsForVirtualKey(static_cast<int32_t>(virtualKey)), down);
    if (bit == InputKey::Shift || bit == InputKey::Control) down = KeyDownNow(static_cast<int>(virtualKey));
    RecordKeys(bit, down);
}

// The mouse was used at the message's position: it takes over from the keys. A
// move to where the key cursor put the pointer is SetCursorPos's own echo.
void RecordMouseUse(LPARAM lParam, bool moveOnly)
{
    int32_t x = static_cast<int32_t>(LOWORD(lParam)) / inputScale;
    int32_t y = static_cast<int32_t>(HIWORD(lParam)) / inputScale;
    if (moveOnly && keyCursor.active && x == keyCursor.position.x && y == keyCursor.position.y) return;
    RecordMouseUsed(x, y);
}

// A button let go outside the window sends no message here: a mouse move
// says which buttons are down when the pointer is back.
void RecordMouseMoveMessage(WPARAM wParam, LPARAM lParam)
{
    // Each coordinate is a 16-bit value taken unsigned.
    RecordMouseMove(static_cast<int32_t>(LOWORD(lParam)) / inputScale,
                    static_cast<int32_t>(HIWORD(lParam)) / inputScale);
    RecordKeys(InputKey::LeftButton, (wParam & MK_LBUTTON) != 0);
    RecordKeys(InputKey::RightButton, (wParam & MK_RBUTTON) != 0);
}

// Keys that changed while another window had the focus sent nothing here.
void ReadAllKeys()
{
    uint32_t held = 0;
    for (const VirtualKeyBit& key : virtualKeyBits) {
        if (KeyDownNow(key.virtualKey)) held |= key.bit;
    }
    SetHeldKeys(held);
}
}  // namespace

void SetWindowInputScale(int32_t scale)
{
    inputScale = scale;
}

// Each button and key message reports its change as it is handled, so the
// shared latch sees a click shorter than a frame; mouse moves carry the
// position and the buttons' state; the focus coming back reads every key afresh.
void RecordWindowInput(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: RecordKeyMessage(wParam, true); break;
    case WM_KEYUP:
    case WM_SYSKEYUP: RecordKeyMessage(wParam, false); break;
    case WM_LBUTTONDOWN:
        RecordMouseUse(lParam, false);
        RecordKeys(InputKey::LeftButton, true);
        break;
    case WM_LBUTTONUP: RecordKeys(InputKey::LeftButton, false); break;
    case WM_RBUTTONDOWN:
        RecordMouseUse(lParam, false);
        RecordKeys(InputKey::RightButton, true);
        break;
    case WM_RBUTTONUP: RecordKeys(InputKey::RightButton, false); break;
    case WM_MOUSEMOVE:
        RecordMouseUse(lParam, true);
        RecordMouseMoveMessage(wParam, lParam);
        break;
    case WM_MOUSEWHEEL: RecordMouseWheel(GET_WHEEL_DELTA_WPARAM(wParam)); break;
    case WM_SETFOCUS: ReadAllKeys(); break;
    default: break;
    }
}

void ShowKeyCursor()
{
    POINT at{keyCursor.position.x * inputScale, keyCursor.position.y * inputScale};
    if (ClientToScreen(mainWindow, &at) != 0) SetCursorPos(at.x, at.y);
}
