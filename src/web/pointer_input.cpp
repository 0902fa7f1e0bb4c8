// The pointer layer's entry points: mouse, pen and touch reach the game as the mouse it already reads.
#include "web/pointer_input.h"

#include <emscripten/emscripten.h>

#include "cursor/key_cursor.h"
#include "draw/canvas.h"
#include "game/stage_play.h"
#include "support/input_snapshot.h"
#include "web/dom_input.h"

extern "C" {
// Every pointer move and press is the mouse or a finger used: it takes over from the keys.
EMSCRIPTEN_KEEPALIVE void tessera_pointer_move(double x, double y, double width, double height)
{
    int32_t pixelX = CanvasPixel(x, width, canvasWidth);
    int32_t pixelY = CanvasPixel(y, height, canvasHeight);
    RecordMouseMove(pixelX, pixelY);
    RecordMouseUsed(pixelX, pixelY);
}

EMSCRIPTEN_KEEPALIVE void tessera_pointer_button(int button, int down)
{
    RecordKeys(KeyBitForMouseButton(button), down != 0);
    if (down != 0) RecordMouseUsed(keyCursor.position.x, keyCursor.position.y);
}

EMSCRIPTEN_KEEPALIVE int tessera_carrying_piece()
{
    return playState == Dragging ? 1 : 0;
}
}
