// tessera.exe: the game for Windows, a GUI program; --headless runs the scripted runner, --pack plays a stage pack.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "packs/pack_option.h"
#include "shell/headless_runner.h"
#include "shell/information_options.h"
#include "support/command_options.h"
#include "support/working_directory.h"
#include "win32/console_streams.h"
#include "win32/data_directory.h"
#include "win32/window_shell.h"

namespace {
constexpr int exitBadUsage = 2;
constexpr int exitFailed = 1;

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
    bool headless = HasOption(argc, argv, "--headless");
    // The window, and the runner without --dir, play where the game's files are: the working directory,
    // or the installed game's player directory. Packs live there too, in packs\N.
    if (!headless || !NamesDirectory(argc, argv)) EnterDataDirectory();
    PackOptionOutcome pack = HandlePackOption(argc, argv, ".", "tessera");
    if (!pack.proceed) return pack.exitCode;
    if (headless) {
        if (pack.directory.empty()) return RunHeadless(argc, argv);
        std::vector<char*> arguments;
        if (!RunnerArgumentsInPack(argc, argv, pack.directory, arguments)) {
            std::fprintf(stderr, "tessera: --pack and --dir name two places to play: give one\n");
            return exitBadUsage;
        }
        return RunHeadless(static_cast<int>(arguments.size()) - 1, arguments.data());
    }
    if (!pack.directory.empty() && !EnterDirectory(pack.directory.c_str())) {
        std::fprintf(stderr, "tessera: cannot enter the pack's folder %s\n", pack.directory.c_str());
        return exitFailed;
    }
    return RunWindow(argc, argv);
}
