// The key and pad mapping every front end shares: a queue of control changes, applied one action a frame.
#include "cursor/key_cursor.h"

#include "cursor/cursor_targets.h"
#include "support/input_snapshot.h"

KeyCursor keyCursor;

namespace {
constexpr uint32_t cursorButtons = CursorPress | CursorTurn;
constexpr int32_t stickThreshold = 16384;  // half way out

struct VirtualKeyControl {
    int32_t virtualKey;
    uint32_t controls;
};

constexpr VirtualKeyControl virtualKeyControls[] = {
    {0x25, CursorLeft}, {0x26, CursorUp},    {0x27, CursorRight}, {0x28, CursorDown},
    {0x0D, CursorPress}, {0x20, CursorPress}, {0x52, CursorTurn},
};

void Enqueue(uint32_t control, bool down)
{
    if (keyCursor.queueCount == cursorQueueSize) return;
    int32_t end = (keyCursor.queueStart + keyCursor.queueCount) % cursorQueueSize;
    keyCursor.queue[end] = {control, down};
    ++keyCursor.queueCount;
}

// Queues each control whose held state, keys and pad together, changed.
void QueueChanges(uint32_t before, uint32_t after)
{
    for (uint32_t bit = 1; bit <= CursorTurn; bit <<= 1) {
        if (((before ^ after) & bit) != 0) Enqueue(bit, (after & bit) != 0);
    }
}

void MoveMouse(Point target)
{
    keyCursor.position = target;
    RecordMouseMove(target.x, target.y);
}

// Steps once in each held direction; false when nothing moved.
bool StepDirections(uint32_t directions)
{
    bool moved = false;
    constexpr struct {
        uint32_t control;
        CursorStep step;
    } steps[] = {{CursorLeft, CursorStep::Left}, {CursorRight, CursorStep::Right}, {CursorUp, CursorStep::Up},
                 {CursorDown, CursorStep::Down}};
    for (const auto& entry : steps) {
        Point target;
        if ((directions & entry.control) == 0 || !SteppedTarget(keyCursor.position, entry.step, target)) continue;
        bool changed = target.x != keyCursor.position.x || target.y != keyCursor.position.y;
        MoveMouse(target);
        moved = moved || changed;
    }
    return moved;
}

uint32_t ButtonBit(uint32_t control)
{
    return control == CursorPress ? InputKey::LeftButton : InputKey::RightButton;
}

// Applies one queued change; a press returns true and ends the frame's changes.
bool ApplyEvent(const CursorEvent& event, bool& moved)
{
    if ((event.control & cursorButtons) != 0) {
        RecordKeys(ButtonBit(event.control), event.down);
    } else if (event.down) {
        keyCursor.heldDirections |= event.control;
        keyCursor.heldFrames = 0;
        moved = StepDirections(event.control) || moved;
    } else {
        keyCursor.heldDirections &= ~event.control;
        keyCursor.heldFrames = 0;
    }
    if (event.down) keyCursor.active = true;
    return event.down;
}
}  // namespace

void ResetKeyCursor()
{
    keyCursor = KeyCursor{};
}

void RecordCursorKey(uint32_t controls, bool down)
{
    uint32_t before = keyCursor.keyControls | keyCursor.padControls;
    keyCursor.keyControls = down ? keyCursor.keyControls | controls : keyCursor.keyControls & ~controls;
    QueueChanges(before, keyCursor.keyControls | keyCursor.padControls);
}

void RecordPadControls(uint32_t controls)
{
    uint32_t before = keyCursor.keyControls | keyCursor.padControls;
    keyCursor.padControls = controls;
    QueueChanges(before, keyCursor.keyControls | keyCursor.padControls);
}

void RecordMouseUsed(int32_t x, int32_t y)
{
    keyCursor.active = false;
    keyCursor.position = {x, y};
    keyCursor.heldDirections = 0;
}

bool StepKeyCursor()
{
    bool moved = false;
    bool chooserOpen = ChooserOpen();
    bool acted = false;
    Point offered;
    if (chooserOpen && !keyCursor.chooserWasOpen && keyCursor.active && OfferedPieceTarget(offered)) {
        MoveMouse(offered);
        moved = true;
        acted = true;
    }
    keyCursor.chooserWasOpen = chooserOpen;
    while (keyCursor.queueCount > 0) {
        const CursorEvent& event = keyCursor.queue[keyCursor.queueStart];
        if (acted && event.down) break;
        // A button the last frame saw down must be seen up for a frame, or a
        // second press would look to the game like the first one held.
        bool button = (event.control & cursorButtons) != 0;
        if (button && event.down && (inputSnapshot.currentKeys & ButtonBit(event.control)) != 0) break;
        // A step typed while the game shows nothing to steer over (a stage
        // sliding out, a mode starting) waits for the targets.
        Point target;
        if (!button && event.down && !SteppedTarget(keyCursor.position, CursorStep::Up, target)) break;
        acted = ApplyEvent(event, moved) || acted;
        keyCursor.queueStart = (keyCursor.queueStart + 1) % cursorQueueSize;
        --keyCursor.queueCount;
    }
    if (!acted && keyCursor.heldDirections != 0) {
        int32_t held = ++keyCursor.heldFrames;
        if (held >= cursorRepeatDelayFrames && (held - cursorRepeatDelayFrames) % cursorRepeatIntervalFrames == 0) {
            moved = StepDirections(keyCursor.heldDirections) || moved;
        }
    }
    return moved;
}

uint32_t CursorControlsForVirtualKey(int32_t virtualKey)
{
    for (const VirtualKeyControl& entry : virtualKeyControls) {
        if (entry.virtualKey == virtualKey) return entry.controls;
    }
    return 0;
}

uint32_t CursorControlsForPad(uint32_t buttons, int32_t stickX, int32_t stickY)
{
    uint32_t controls = 0;
    if ((buttons & PadA) != 0) controls |= CursorPress;
    if ((buttons & (PadB | PadX)) != 0) controls |= CursorTurn;
    if ((buttons & PadLeft) != 0 || stickX <= -stickThreshold) controls |= CursorLeft;
    if ((buttons & PadRight) != 0 || stickX >= stickThreshold) controls |= CursorRight;
    if ((buttons & PadUp) != 0 || stickY <= -stickThreshold) controls |= CursorUp;
    if ((buttons & PadDown) != 0 || stickY >= stickThreshold) controls |= CursorDown;
    return controls;
}
