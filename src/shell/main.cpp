// The tessera program: the game in its window, or with --headless the scripted runner; --pack plays a stage pack.
#include "packs/pack_option.h"
#include "shell/headless_runner.h"
#include "shell/information_options.h"
#include "shell/window_shell.h"

int main(int argc, char** argv)
{
    if (AnswerInformationOption(argc, argv, TESSERA_VERSION)) return 0;
    // Packs live under the directory the game starts in: the launcher starts it in the player's data directory.
    return RunWithPackOption(argc, argv, RunHeadless, RunWindow);
}
