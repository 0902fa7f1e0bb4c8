// tessera.exe: the game for Windows, a GUI program; --headless runs the scripted runner, --help and --version answer.
#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "shell/headless_runner.h"
#include "shell/information_options.h"
#include "support/command_options.h"
#include "win32/console_streams.h"
#include "win32/data_directory.h"
#include "win32/window_shell.h"

namespace {
// Whether the command line names the data directory itself: --dir DIR or --dir=DIR.
bool NamesDirectory(int argc, char** argv)
{
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (std::strcmp(argv[i], "--dir") == 0 || std::strncmp(argv[i], "--dir=", 6) == 0) return true;
    }
    return false;
}
}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // The C runtime has split the command line the way every Windows program's main sees it.
    int argc = __argc;
    char** argv = __argv;
    ConnectStandardStreams();
    if (AnswerInformationOption(argc, argv, TESSERA_VERSION)) return 0;
    if (HasOption(argc, argv, "--headless")) {
        // Without --dir the runner plays where the window would: the installed game's player directory.
        if (!NamesDirectory(argc, argv)) EnterDataDirectory();
        return RunHeadless(argc, argv);
    }
    return RunWindow(argc, argv);
}
