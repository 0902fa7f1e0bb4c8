// tessera.exe: the game for Windows, a GUI program; --headless runs the scripted runner, --pack plays a stage pack.
#include <windows.h>

#include "packs/pack_option.h"
#include "shell/headless_runner.h"
#include "shell/information_options.h"
#include "support/command_options.h"
#include "win32/console_streams.h"
#include "win32/data_directory.h"
#include "win32/window_shell.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // The C runtime has split the command line the way every Windows program's main sees it.
    int argc = __argc;
    char** argv = __argv;
    ConnectStandardStreams();
    if (AnswerInformationOption(argc, argv, TESSERA_VERSION)) return 0;
    bool headless = HasOption(argc, argv, "--headless");
    // The window, and the runner without --dir, play where the game's files are: the working directory,
    // or the installed game's player directory. Packs live there too, in packs\N.
    if (!headless || !NamesDirectory(argc, argv)) EnterDataDirectory();
    return RunWithPackOption(argc, argv, RunHeadless, RunWindow);
}
