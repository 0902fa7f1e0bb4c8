// The html5.h callbacks for keys, the wheel and the focus; pointers come through the page's pointer layer.
#include "web/web_events.h"

#include <emscripten/html5.h>

#include "cursor/key_cursor.h"
#include "support/input_snapshot.h"
#include "web/dom_input.h"

namespace {
constexpr char canvasTarget[] = "#screen";
constexpr int32_t escapeKeyCode = 0x1B;
constexpr int32_t wheelNotch = 120;

void (*escapeHandler)() = nullptr;

EM_BOOL OnWheel(int, const EmscriptenWheelEvent* event, void*)
{
    // The DOM counts towards the player as positive; the game, away from them.
    if (event->deltaY < 0) RecordMouseWheel(wheelNotch);
    if (event->deltaY > 0) RecordMouseWheel(-wheelNotch);
    return EM_TRUE;
}

// Keys reach the game only while the canvas has the focus. The keys it plays
// by (arrows, Enter, Space, R) do not scroll the page; every other key, Tab
// above all, keeps its meaning, so the focus always moves on.
EM_BOOL OnKeyDown(int, const EmscriptenKeyboardEvent* event, void*)
{
    auto keyCode = static_cast<int32_t>(event->keyCode);
    PressKeys(KeyBitForKeyCode(keyCode));
    uint32_t controls = CursorControlsForVirtualKey(keyCode);
    RecordCursorKey(controls, true);
    if (keyCode == escapeKeyCode && !event->repeat && escapeHandler != nullptr) escapeHandler();
    return controls != 0 ? EM_TRUE : EM_FALSE;
}

EM_BOOL OnKeyUp(int, const EmscriptenKeyboardEvent* event, void*)
{
    auto keyCode = static_cast<int32_t>(event->keyCode);
    ReleaseKeys(KeyBitForKeyCode(keyCode));
    RecordCursorKey(CursorControlsForVirtualKey(keyCode), false);
    return EM_FALSE;
}

EM_BOOL OnBlur(int, const EmscriptenFocusEvent*, void*)
{
    // No release will come for what is held now.
    ReleaseKeys(HeldKeys());
    RecordCursorKey(keyCursor.keyControls, false);
    return EM_FALSE;
}
}  // namespace

void ListenToPage(void (*onEscape)())
{
    escapeHandler = onEscape;
    emscripten_set_wheel_callback(canvasTarget, nullptr, EM_FALSE, OnWheel);
    emscripten_set_keydown_callback(canvasTarget, nullptr, EM_FALSE, OnKeyDown);
    emscripten_set_keyup_callback(canvasTarget, nullptr, EM_FALSE, OnKeyUp);
    emscripten_set_blur_callback(canvasTarget, nullptr, EM_FALSE, OnBlur);
    emscripten_set_blur_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, OnBlur);
}
