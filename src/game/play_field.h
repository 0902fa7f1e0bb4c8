// Drawing a play frame: the grid with its board, the placed and carried pieces, and the chooser.
#pragma once

void DrawPlayField();
