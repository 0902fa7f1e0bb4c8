// The tessera program: the game in its window, or with --headless the scripted runner.
#include <cstdio>
#include <cstring>

#include "shell/headless_runner.h"
#include "shell/usage.h"
#include "shell/window_shell.h"

namespace {
// Whether an option stands on the command line before any "--".
bool HasOption(int argc, char** argv, const char* wanted)
{
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (std::strcmp(argv[i], wanted) == 0) return true;
    }
    return false;
}
}  // namespace

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
