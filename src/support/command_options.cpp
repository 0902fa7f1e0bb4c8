// StartOptionParsing and OptionComplaint over getopt_long's state; HasOption by a plain look along argv.
#include "support/command_options.h"

#include <cstring>

void StartOptionParsing()
{
    optind = 0;
    opterr = 0;
}

std::string OptionComplaint(int result, char** argv)
{
    // The argument getopt_long stopped at: a long option without its "=value",
    // or the one letter of a short option.
    std::string name = optind > 0 ? argv[optind - 1] : "";
    if (name.starts_with("--")) {
        name = name.substr(0, name.find('='));
    } else if (optopt > 0 && optopt < 128) {
        name = std::string("-") + static_cast<char>(optopt);
    }
    if (result == ':') return "option " + name + " needs a value";
    return "unknown option " + name;
}

bool HasOption(int argc, char** argv, const char* wanted)
{
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (std::strcmp(argv[i], wanted) == 0) return true;
    }
    return false;
}
