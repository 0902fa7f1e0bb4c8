// AnswerInformationOption: the usage or the version on standard output.
#include "shell/information_options.h"

#include <cstdio>

#include "shell/usage.h"
#include "support/command_options.h"

bool AnswerInformationOption(int argc, char** argv, const char* version)
{
    if (HasOption(argc, argv, "--help")) {
        std::fputs(tesseraUsage, stdout);
        return true;
    }
    if (HasOption(argc, argv, "--version")) {
        std::printf("tessera %s\n", version);
        return true;
    }
    return false;
}
