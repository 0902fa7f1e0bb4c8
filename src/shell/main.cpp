// The tessera program: the game in its window, or with --headless the scripted runner.
#include <cstdio>
#include <cstring>

#include "shell/headless_runner.h"
#include "shell/usage.h"
#include "shell/window_shell.h"

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(tesseraUsage, stdout);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("tessera %s\n", TESSERA_VERSION);
        return 0;
    }
    if (argc > 1 && std::strcmp(argv[1], "--headless") == 0) return RunHeadless(argc - 2, argv + 2);
    return RunWindow(argc - 1, argv + 1);
}
