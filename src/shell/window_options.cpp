// ParseWindowOptions: the window's three options through getopt_long, each value checked.
#include "shell/window_options.h"

#include "support/command_options.h"
#include "support/parse_number.h"

namespace {
enum WindowOption { SeedOption = 256, RecordOption, ScaleOption };

constexpr option windowOptions[] = {
    {"seed", required_argument, nullptr, SeedOption},
    {"record", required_argument, nullptr, RecordOption},
    {"scale", required_argument, nullptr, ScaleOption},
    {nullptr, 0, nullptr, 0},
};
}  // namespace

std::string ParseWindowOptions(int argc, char** argv, WindowOptions& options)
{
    StartOptionParsing();
    int result = 0;
    while ((result = getopt_long(argc, argv, ":", windowOptions, nullptr)) != -1) {
        int64_t number = 0;
        switch (result) {
        case SeedOption:
            if (!ParseNumber(optarg, 0, UINT32_MAX, number)) return "--seed needs a number from 0 to 4294967295";
            options.seed = static_cast<uint32_t>(number);
            break;
        case RecordOption: options.recordPath = optarg; break;
        case ScaleOption:
            if (!ParseNumber(optarg, 1, maxWindowScale, number)) return "--scale needs a number from 1 to 4";
            options.scale = static_cast<int32_t>(number);
            break;
        default: return OptionComplaint(result, argv);
        }
    }
    if (optind < argc) return std::string("unexpected argument ") + argv[optind];
    return {};
}
