// RunHeadless: the same seam as the window (snapshot in, canvas 0 out) with no display and no clock.
#include "shell/headless_runner.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "draw/canvas.h"
#include "draw/png_export.h"
#include "game/game_frame.h"
#include "shell/input_script.h"
#include "shell/trace_writer.h"
#include "shell/usage.h"
#include "support/command_options.h"
#include "support/input_snapshot.h"
#include "support/parse_number.h"
#include "support/random.h"
#include "support/user_output.h"
#include "support/working_directory.h"

namespace {
constexpr int exitFramesRan = 0;
constexpr int exitGameFailed = 1;
constexpr int exitBadUsage = 2;

// The run lasts one frame past the last shot, which must still be a frame number.
constexpr int64_t maxShotFrame = INT32_MAX - 1;

struct Shot {
    int32_t frame;
    std::string path;    // as the user named it
    std::string target;  // the same file as seen from the directory the run is in
};

struct HeadlessOptions {
    const char* directory = nullptr;
    std::optional<uint32_t> seed;
    int32_t stage = -1;
    const char* inputPath = nullptr;
    int32_t frames = -1;
    const char* tracePath = nullptr;
    std::vector<Shot> shots;
};

ScriptPlayer player;

int BadUsage(const std::string& reason)
{
    std::fprintf(stderr, "tessera: %s\n%s", reason.c_str(), tesseraUsage);
    return exitBadUsage;
}

bool ParseShot(const char* text, Shot& shot)
{
    const char* colon = std::strchr(text, ':');
    if (colon == nullptr || colon[1] == '\0') return false;
    int64_t frame = 0;
    std::string number(text, colon);
    if (!ParseNumber(number, 0, maxShotFrame, frame)) return false;
    shot = {static_cast<int32_t>(frame), colon + 1, {}};
    return true;
}

enum HeadlessOption { DirOption = 256, SeedOption, StageOption, InputOption, FramesOption, TraceOption, ShotOption };

constexpr option headlessOptions[] = {
    {"headless", no_argument, nullptr, 0},
    {"dir", required_argument, nullptr, DirOption},
    {"seed", required_argument, nullptr, SeedOption},
    {"stage", required_argument, nullptr, StageOption},
    {"input", required_argument, nullptr, InputOption},
    {"frames", required_argument, nullptr, FramesOption},
    {"trace", required_argument, nullptr, TraceOption},
    {"shot", required_argument, nullptr, ShotOption},
    {nullptr, 0, nullptr, 0},
};

// Returns an empty text on success, else why the arguments are bad.
std::string ParseOptions(int argc, char** argv, HeadlessOptions& options)
{
    StartOptionParsing();
    int result = 0;
    while ((result = getopt_long(argc, argv, ":", headlessOptions, nullptr)) != -1) {
        const char* value = optarg;
        int64_t number = 0;
        switch (result) {
        case 0: break;  // --headless itself
        case DirOption: options.directory = value; break;
        case SeedOption:
            if (!ParseNumber(value, 0, UINT32_MAX, number)) return "--seed needs a number from 0 to 4294967295";
            options.seed = static_cast<uint32_t>(number);
            break;
        case StageOption:
            if (!ParseNumber(value, 0, 9, number)) return "--stage needs a stage number from 0 to 9";
            options.stage = static_cast<int32_t>(number);
            break;
        case InputOption: options.inputPath = value; break;
        case FramesOption:
            if (!ParseNumber(value, 0, INT32_MAX, number)) return "--frames needs a number of frames";
            options.frames = static_cast<int32_t>(number);
            break;
        case TraceOption: options.tracePath = value; break;
        case ShotOption: {
            Shot shot;
            if (!ParseShot(value, shot)) return "--shot needs FRAME:PATH.png with FRAME from 0 to 2147483646";
            options.shots.push_back(shot);
            break;
        }
        default: return OptionComplaint(result, argv);
        }
    }
    if (optind < argc) return std::string("unexpected argument ") + argv[optind];
    for (const Shot& shot : options.shots) {
        if (options.frames >= 0 && shot.frame >= options.frames) {
            return "--shot frame " + std::to_string(shot.frame) + " is not among the " +
                   std::to_string(options.frames) + " frames of --frames";
        }
    }
    return {};
}

// --frames, or else enough frames for the whole script and every shot.
int32_t FramesToRun(const HeadlessOptions& options, const InputScript& script)
{
    if (options.frames >= 0) return options.frames;
    int32_t frames = script.steps.empty() ? 1 : script.steps.back().frame + 1;
    for (const Shot& shot : options.shots) frames = std::max(frames, shot.frame + 1);
    return frames;
}

int RunFrames(const HeadlessOptions& options, const InputScript& script, const UserOutput& trace)
{
    int32_t frames = FramesToRun(options, script);
    StartScriptInput(player, script);
    for (int32_t frame = 0; frame < frames; ++frame) {
        PlayScriptUpTo(player, frame);
        TakeInputSnapshot();
        if (GameFrame() != 0) return exitGameFailed;
        if (trace.stream != nullptr) {
            WriteTraceLine(trace.stream, frame);
            // A reader of a pipe sees each frame as it runs.
            if (trace.streaming) std::fflush(trace.stream);
        }
        for (const Shot& shot : options.shots) {
            if (shot.frame == frame && !WriteCanvasPng(canvases[0], shot.target.c_str())) {
                std::fprintf(stderr, "tessera: cannot write %s: %s\n", shot.path.c_str(), std::strerror(errno));
                return exitBadUsage;
            }
        }
    }
    return exitFramesRan;
}
}  // namespace

int RunHeadless(int argc, char** argv)
{
    HeadlessOptions options;
    std::string reason = ParseOptions(argc, argv, options);
    if (!reason.empty()) return BadUsage(reason);

    // Every path but --dir is read from where the command was started, wherever the run plays.
    InputScript script;
    if (options.inputPath != nullptr && !ReadInputScript(PathFromStart(options.inputPath).c_str(), script, reason)) {
        std::fprintf(stderr, "%s\n", reason.c_str());
        return exitBadUsage;
    }
    if (options.directory != nullptr && !EnterDirectory(options.directory)) {
        return BadUsage(std::string("cannot enter directory ") + options.directory);
    }
    for (Shot& shot : options.shots) shot.target = PathFromStart(shot.path.c_str());
    UserOutput trace;
    if (options.tracePath != nullptr && !OpenUserOutput(trace, PathFromStart(options.tracePath).c_str())) {
        return BadUsage(std::string("cannot write ") + options.tracePath + ": " + std::strerror(errno));
    }

    // --seed wins over the script's seed line; without either, the clock.
    uint32_t seed = options.seed.value_or(script.seed.value_or(static_cast<uint32_t>(std::time(nullptr))));

    canvases[0].create(canvasWidth, canvasHeight);
    SeedRandom(seed);
    RequestStageAtLoad(options.stage);

    int result = RunFrames(options, script, trace);
    if (options.tracePath != nullptr) {
        // The trace of the frames that ran is kept even when the game failed,
        // but never when a shot could not be written.
        if (result == exitBadUsage) {
            AbandonUserOutput(trace);
        } else if (!CloseUserOutput(trace)) {
            std::fprintf(stderr, "tessera: cannot write %s: %s\n", options.tracePath, std::strerror(errno));
            result = exitBadUsage;
        }
    }
    return result;
}
