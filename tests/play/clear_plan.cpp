// tessera-clear-plan: the clicks that clear one stage of a directory, as an input script for the window or the runner.
// usage: tessera-clear-plan STAGE_DIR STAGE SEED
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "draw/canvas.h"
#include "game/data_files.h"
#include "game/game_frame.h"
#include "game/stage_play.h"
#include "guided_play.h"
#include "shell/input_script.h"
#include "support/input_snapshot.h"
#include "support/random.h"

namespace {
constexpr int64_t maxFrames = 4000;  // two frames a click: far more than any stage's clear needs
}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: tessera-clear-plan STAGE_DIR STAGE SEED\n");
        return 2;
    }
    int32_t stage = std::atoi(argv[2]);
    auto seed = static_cast<uint32_t>(std::strtoul(argv[3], nullptr, 10));
    if (stage < 0 || stage >= stageCount) {
        std::fprintf(stderr, "tessera-clear-plan: no stage %s\n", argv[2]);
        return 2;
    }
    std::string copy = EnterStageCopy(argv[1], "/tmp/tessera-clear-plan-XXXXXX");
    if (copy.empty()) return 2;
    canvases[0].create(canvasWidth, canvasHeight);
    SeedRandom(seed);
    RequestStageAtLoad(stage);
    std::printf("# Stage %d of %s cleared by clicks towards a solution\nseed %u\n", stage + 1, argv[1], seed);
    std::vector<Target> targets;
    uint32_t held = 0;
    int64_t frame = 0;
    for (; frame < maxFrames && playState != Cleared; ++frame) {
        uint32_t buttons = 0;
        if (frame == 1) targets = FindTargets(CurrentStage());
        if (frame >= 1) buttons = GuidedButtons(targets, frame);
        if (buttons != held || buttons != 0) {
            std::printf("%lld %d %d %s\n", static_cast<long long>(frame), inputSnapshot.mouseX, inputSnapshot.mouseY,
                        ButtonsField(buttons));
        }
        held = buttons;
        SetHeldKeys(buttons);
        TakeInputSnapshot();
        if (GameFrame() != 0) return 1;
    }
    std::printf("%lld %d %d -\n", static_cast<long long>(frame), inputSnapshot.mouseX, inputSnapshot.mouseY);
    std::filesystem::remove_all(copy);
    if (playState != Cleared) {
        std::fprintf(stderr, "tessera-clear-plan: stage %d was not cleared in %lld frames\n", stage + 1,
                     static_cast<long long>(maxFrames));
        return 1;
    }
    return 0;
}
