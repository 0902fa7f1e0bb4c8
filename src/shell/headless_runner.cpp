// RunHeadless: the same seam as the window (snapshot in, canvas 0 out) with no display and no clock.
#include "shell/headless_runner.h"

#include <unistd.h>

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
#include "support/parse_number.h"
#include "shell/input_script.h"
#include "shell/trace_writer.h"
#include "shell/usage.h"
#include "support/input_snapshot.h"
#include "support/random.h"
#include "support/replacement_file.h"

namespace {
constexpr int exitFramesRan = 0;
constexpr int exitGameFailed = 1;
constexpr int exitBadUsage = 2;

// The run lasts one frame past the last shot, which must still be a frame number.
constexpr int64_t maxShotFrame = INT32_MAX - 1;

struct Shot {
    int32_t frame;
    std::string path;
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
    shot = {static_cast<int32_t>(frame), colon + 1};
    return true;
}

// Returns an empty text on success, else why the arguments are bad.
std::string ParseOptions(int argc, char** argv, HeadlessOptions& options)
{
    for (int i = 0; i < argc; ++i) {
        std::string option = argv[i];
        if (i + 1 >= argc) return "option " + option + " needs a value";
        const char* value = argv[++i];
        int64_t number = 0;
        if (option == "--dir") {
            options.directory = value;
        } else if (option == "--seed") {
            if (!ParseNumber(value, 0, UINT32_MAX, number)) return "--seed needs a number from 0 to 4294967295";
            options.seed = static_cast<uint32_t>(number);
        } else if (option == "--stage") {
            if (!ParseNumber(value, 0, 9, number)) return "--stage needs a stage number from 0 to 9";
            options.stage = static_cast<int32_t>(number);
        } else if (option == "--input") {
            options.inputPath = value;
        } else if (option == "--frames") {
            if (!ParseNumber(value, 0, INT32_MAX, number)) return "--frames needs a number of frames";
            options.frames = static_cast<int32_t>(number);
        } else if (option == "--trace") {
            options.tracePath = value;
        } else if (option == "--shot") {
            Shot shot;
            if (!ParseShot(value, shot)) return "--shot needs FRAME:PATH.png with FRAME from 0 to 2147483646";
            options.shots.push_back(shot);
        } else {
            return "unknown option " + option;
        }
    }
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

int RunFrames(const HeadlessOptions& options, const InputScript& script, std::FILE* trace)
{
    int32_t frames = FramesToRun(options, script);
    StartScriptInput(player, script);
    for (int32_t frame = 0; frame < frames; ++frame) {
        PlayScriptUpTo(player, frame);
        TakeInputSnapshot();
        if (GameFrame() != 0) return exitGameFailed;
        if (trace != nullptr) WriteTraceLine(trace, frame);
        for (const Shot& shot : options.shots) {
            if (shot.frame == frame && !WriteCanvasPng(canvases[0], shot.path.c_str())) {
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

    InputScript script;
    if (options.inputPath != nullptr && !ReadInputScript(options.inputPath, script, reason)) {
        std::fprintf(stderr, "%s\n", reason.c_str());
        return exitBadUsage;
    }
    if (options.directory != nullptr && chdir(options.directory) != 0) {
        return BadUsage(std::string("cannot enter directory ") + options.directory);
    }
    ReplacementFile trace;
    if (options.tracePath != nullptr && !BeginReplacement(trace, options.tracePath)) {
        return BadUsage(std::string("cannot write ") + options.tracePath + ": " + std::strerror(errno));
    }

    // --seed wins over the script's seed line; without either, the clock.
    uint32_t seed = options.seed.value_or(script.seed.value_or(static_cast<uint32_t>(std::time(nullptr))));

    canvases[0].create(canvasWidth, canvasHeight);
    SeedRandom(seed);
    RequestStageAtLoad(options.stage);

    int result = RunFrames(options, script, trace.stream);
    if (options.tracePath != nullptr) {
        // The trace of the frames that ran is kept even when the game failed,
        // but never when a shot could not be written.
        if (result == exitBadUsage) {
            AbandonReplacement(trace);
        } else if (!CommitReplacement(trace)) {
            std::fprintf(stderr, "tessera: cannot write %s: %s\n", options.tracePath, std::strerror(errno));
            result = exitBadUsage;
        }
    }
    return result;
}
