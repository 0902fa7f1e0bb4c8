// DOM events for the game: mouse on the canvas, buttons released anywhere, keys on the page.
#pragma once

// Registers the handlers; onEscape runs when Esc goes down.
void ListenToPage(void (*onEscape)());
