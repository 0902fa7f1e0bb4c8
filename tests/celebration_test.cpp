// The celebration's timing: letters arrive and rest, a click sends them off, the end saves the flag.
#include <gtest/gtest.h>

#include <cstring>

#include "draw/canvas.h"
#include "game/celebration.h"
#include "game/data_files.h"
#include "game/game_frame.h"
#include "game/stage_play.h"
#include "support/input_snapshot.h"
#include "test_helpers.h"

namespace {
class Celebration : public ::testing::Test {
protected:
    void SetUp() override
    {
        FreshCanvas();
        ConstructBanner();
        PrepareBanner();
        ParkBannerLetters();
        std::memset(&progress, 0, sizeof progress);
        gameMode = playMode;
        modeInitPending = false;
        currentStage = 6;
        playState = Cleared;
        celebrationFrame = 0;
    }

    // Runs Cleared frames until the celebration hands back, clicking on the
    // given frame; returns the frame on which it ended, or -1. Unless the
    // click is on frame 0, the covering drop's click is still held then.
    static int32_t EndFrame(int32_t clickFrame, int32_t maxFrames = 200)
    {
        constexpr uint32_t left = InputKey::LeftButton;
        for (int32_t frame = 0; frame < maxFrames; ++frame) {
            inputSnapshot.previousKeys = frame == 0 && clickFrame != 0 ? left : 0u;
            inputSnapshot.currentKeys = frame == clickFrame || frame == 0 ? left : 0u;
            UpdateCelebration();
            if (modeInitPending) return frame;
        }
        return -1;
    }
};
}  // namespace

TEST_F(Celebration, LettersArriveAndRestAtTheirPlace)
{
    EXPECT_EQ(banner->letterPosition(7)->y, 600);
    EXPECT_EQ(EndFrame(-1, 12), -1);
    for (int32_t k = 0; k < 8; ++k) {
        EXPECT_EQ(banner->letterPosition(k)->x, 180);
        EXPECT_EQ(banner->letterPosition(k)->y, 430);
    }
    EXPECT_EQ(celebrationHurry, 0);
    // The click that covered the board was held into the first frame: no hurry.
    EXPECT_EQ(EndFrame(-1, 300), -1);
    EXPECT_EQ(progress.clearedFlags[6], 0);
}

TEST_F(Celebration, AClickAtRestEndsItFourteenFramesLater)
{
    EXPECT_EQ(EndFrame(20), 34);
    EXPECT_EQ(gameMode, stageSelectMode);
    EXPECT_EQ(playState, Cleared);
    EXPECT_EQ(celebrationFrame, 35);
    EXPECT_EQ(progress.clearedFlags[6], 1);
}

TEST_F(Celebration, AClickOnTheFirstFrameGivesTheLongestExit)
{
    // The first frame's own press counts when it is new in that frame.
    EXPECT_EQ(EndFrame(0), 54);
}

