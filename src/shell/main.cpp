// The tessera program: the game in its window, or with --headless the scripted runner.
#include <cstring>

#include "shell/headless_runner.h"
#include "shell/window_shell.h"

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--headless") == 0) return RunHeadless(argc - 2, argv + 2);
    return RunWindow(argc - 1, argv + 1);
}
