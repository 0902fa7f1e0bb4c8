// The tessera program: the game in its window, or with --headless the scripted runner.
#include "shell/headless_runner.h"
#include "shell/information_options.h"
#include "shell/window_shell.h"
#include "support/command_options.h"

int main(int argc, char** argv)
{
    if (AnswerInformationOption(argc, argv, TESSERA_VERSION)) return 0;
    if (HasOption(argc, argv, "--headless")) return RunHeadless(argc, argv);
    return RunWindow(argc, argv);
}
