// The usage of the tessera program, whole: the window, the headless runner, help and version.
#pragma once

constexpr char tesseraUsage[] =
    "usage: tessera [--seed N] [--record FILE] [--scale N]\n"
    "       tessera --headless [--dir DIR] [--seed N] [--stage K] [--input FILE] [--frames N]\n"
    "                          [--trace FILE] [--shot FRAME:PATH.png]...\n"
    "       tessera --help | --version\n"
    "\n"
    "  --seed N          seed the pieces' turns and colours (default: the clock)\n"
    "  --record FILE     write the session's input as a script for --headless --input\n"
    "  --scale N         show the picture N times larger, 1 to 4 (default 1)\n"
    "  --headless        run without a window, from an input script:\n"
    "    --dir DIR       read st0.dat ... st9.dat and hist.dat in DIR\n"
    "    --stage K       start in stage K, 0 to 9\n"
    "    --input FILE    lines \"FRAME X Y BUTTONS\" (BUTTONS: -, L, R or LR), \"seed N\", # comments\n"
    "    --frames N      run N frames (default: to the last scripted frame and the last shot)\n"
    "    --trace FILE    write the game state after every frame, one JSON object a line\n"
    "    --shot F:PATH   write frame F's picture as a PNG; may be repeated\n"
    "\n"
    "Options take their value as --opt VALUE or --opt=VALUE. An output FILE or PATH may be -\n"
    "for standard output; pipes and devices are written in place, links followed.\n";
