// Fuzzes the stage loader, then sets the loaded stage up and plays a few frames of it.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "draw/canvas.h"
#include "game/celebration.h"
#include "game/data_files.h"
#include "game/game_frame.h"
#include "game/play_field.h"
#include "game/stage_play.h"
#include "support/input_snapshot.h"
#include "support/random.h"

namespace {
constexpr int32_t playedFrames = 8;

std::string StagePath()
{
    static const std::string path = "/tmp/tessera-fuzz-stage-" + std::to_string(getpid()) + ".dat";
    return path;
}

// The bytes after a stage image steer the mouse and buttons, four per frame.
void PlayFrames(const uint8_t* input, size_t size)
{
    for (int32_t frame = 0; frame < playedFrames; ++frame) {
        uint8_t steer[4] = {};
        if (size >= 4) {
            std::memcpy(steer, input, 4);
            input += 4;
            size -= 4;
        }
        inputSnapshot.previousKeys = inputSnapshot.currentKeys;
        inputSnapshot.currentKeys = (steer[2] & 1 ? InputKey::LeftButton : 0u) | (steer[2] & 2 ? InputKey::RightButton : 0u);
        inputSnapshot.mouseX = steer[0] * 640 / 256;
        inputSnapshot.mouseY = steer[1] * 480 / 256;
        UpdateHoveredPiece();
        UpdateStagePlay();
        DrawPlayField();
        if (playState == Cleared) DrawCelebration();
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool started = false;
    if (!started) {
        started = true;
        canvases[0].create(640, 480);
        ConstructBanner();
        PrepareBanner();
    }
    std::FILE* file = std::fopen(StagePath().c_str(), "wb");
    if (file == nullptr) return 0;
    size_t stageBytes = size < sizeof(StageFile) ? size : sizeof(StageFile);
    // Short inputs are laid over a valid header so the limits get exercised.
    StageFile image{};
    image.magic = stageFileMagic;
    std::memcpy(&image, data, stageBytes);
    std::fwrite(&image, 1, sizeof image, file);
    std::fclose(file);

    if (!LoadStageFile(StagePath().c_str(), stages[0])) return 0;
    currentStage = 0;
    SeedRandom(static_cast<uint32_t>(size));
    StartStagePlay();
    PlayFrames(data + stageBytes, size - stageBytes);
    return 0;
}
