// The pointer layer's entry points: mouse, pen and touch reach the game as the mouse it already reads.
#include "web/pointer_input.h"

#include <emscripten/emscripten.h>

#include "draw/canvas.h"
#include "game/stage_play.h"
#include "support/input_snapshot.h"
#include "web/dom_input.h"

extern "C" {
EMSCRIPTEN_KEEPALIVE void tessera_pointer_move(double x, double y, double width, double height)
{
    RecordMouseMove(CanvasPixel(x, width, canvasWidth), CanvasPixel(y, height, canvasHeight));
}

EMSCRIPTEN_KEEPALIVE void tessera_pointer_button(int button, int down)
{
    RecordKeys(KeyBitForMouseButton(button), down != 0);
}

EMSCRIPTEN_KEEPALIVE int tessera_carrying_piece()
{
    return playState == Dragging ? 1 : 0;
}
}
