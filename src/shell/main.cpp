// The tessera program: the game in its window, or with --headless the scripted runner.
#include <cstdio>

#include "shell/headless_runner.h"
#include "shell/usage.h"
#include "shell/window_shell.h"
#include "support/command_options.h"

int main(int argc, char** argv)
{
    if (HasOption(argc, argv, "--help")) {
        std::fputs(tesseraUsage, stdout);
        return 0;
    }
    if (HasOption(argc, argv, "--version")) {
        std::printf("tessera %s\n", TESSERA_VERSION);
        return 0;
    }
    if (HasOption(argc, argv, "--headless")) return RunHeadless(argc, argv);
    return RunWindow(argc, argv);
}
