// The tessera program: the game in its window, or with --headless the scripted runner; --pack plays a stage pack.
#include <cstdio>
#include <vector>

#include "packs/pack_option.h"
#include "shell/headless_runner.h"
#include "shell/information_options.h"
#include "shell/window_shell.h"
#include "support/command_options.h"
#include "support/working_directory.h"

namespace {
constexpr int exitBadUsage = 2;
constexpr int exitFailed = 1;
}  // namespace

int main(int argc, char** argv)
{
    if (AnswerInformationOption(argc, argv, TESSERA_VERSION)) return 0;
    // Packs live under the directory the game starts in: the launcher starts it in the player's data directory.
    PackOptionOutcome pack = HandlePackOption(argc, argv, ".", "tessera");
    if (!pack.proceed) return pack.exitCode;
    if (HasOption(argc, argv, "--headless")) {
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
