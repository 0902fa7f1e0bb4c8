// The stage select screen: bar positions, the hover easing, the slide-out and the glide back in.
#include <gtest/gtest.h>

#include <cstring>

#include "draw/canvas.h"
#include "game/board_layout.h"
#include "game/data_files.h"
#include "game/game_frame.h"
#include "game/stage_select.h"
#include "support/input_snapshot.h"
#include "test_helpers.h"

namespace {
class StageSelect : public ::testing::Test {
protected:
    void SetUp() override
    {
        FreshCanvas();
        std::memset(&progress, 0, sizeof progress);
        chosenEntry = -1;
        gameMode = stageSelectMode;
        StartStageSelect();
    }

    // One frame of the screen, in the game's order.
    static void Frame(int32_t x, int32_t y, uint32_t buttons = 0, uint32_t previous = 0)
    {
        inputSnapshot.mouseX = x;
        inputSnapshot.mouseY = y;
        inputSnapshot.previousKeys = previous;
        inputSnapshot.currentKeys = buttons;
        hoverEntry = -1;
        UpdateStageSelect();
        DrawStageSelect();
    }

    static std::vector<int32_t> EntryXs(int32_t entry, int32_t frames, int32_t x, int32_t y)
    {
        std::vector<int32_t> xs;
        for (int32_t i = 0; i < frames; ++i) {
            Frame(x, y);
            xs.push_back(menuEntries[entry].x);
        }
        return xs;
    }
};
}  // namespace

TEST_F(StageSelect, StartsWithTenBarsAtRest)
{
    EXPECT_EQ(BoardLayout::cellSize, 46);
    for (int32_t i = 0; i < 10; ++i) {
        EXPECT_EQ(menuEntries[i].x, 341);
        EXPECT_EQ(menuEntries[i].y, 33 + 46 * i);
    }
    Frame(0, 0);
    // The bar's left cap: core within 15 pixels of the end point, rim out to 19.
    EXPECT_EQ(CanvasColor(331, 33), Rgb(120, 120, 120));
    EXPECT_EQ(CanvasColor(336, 50), Rgb(100, 100, 100));
    EXPECT_EQ(CanvasColor(321, 33), 0u);
}

TEST_F(StageSelect, HoverEasesInAndOutWithTruncatingSteps)
{
    EXPECT_EQ(EntryXs(2, 12, 500, 125),
              (std::vector<int32_t>{337, 333, 330, 328, 326, 325, 324, 323, 322, 321, 321, 321}));
    EXPECT_EQ(hoverEntry, 2);
    EXPECT_EQ(CanvasColor(311, 125), Rgb(220, 220, 220));
    EXPECT_EQ(EntryXs(2, 11, 10, 10), (std::vector<int32_t>{325, 328, 330, 332, 333, 334, 335, 336, 337, 337, 337}));
}

TEST_F(StageSelect, BoxesOfNeighbouringBarsMeetOnALineOfTheirOwn)
{
    Frame(400, 56);
    EXPECT_EQ(hoverEntry, -1);
    Frame(400, 55);
    EXPECT_EQ(hoverEntry, 0);
    Frame(400, 57);
    EXPECT_EQ(hoverEntry, 1);
}

TEST_F(StageSelect, OnlyAPressOnABarChoosesItAndItAcceleratesOff)
{
    Frame(10, 10, InputKey::LeftButton);
    Frame(500, 171, InputKey::RightButton);
    Frame(500, 171, InputKey::LeftButton, InputKey::LeftButton);
    EXPECT_EQ(chosenEntry, -1);
    for (int32_t i = 0; i < 12; ++i) Frame(500, 171);
    ASSERT_EQ(menuEntries[3].x, 321);

    std::vector<int32_t> xs;
    Frame(500, 171, InputKey::LeftButton);
    xs.push_back(menuEntries[3].x);
    EXPECT_EQ(chosenEntry, 3);
    EXPECT_EQ(currentStage, 3);
    for (int32_t i = 0; i < 7; ++i) {
        Frame(200, 300, i == 2 ? static_cast<uint32_t>(InputKey::LeftButton) : 0u);
        xs.push_back(menuEntries[3].x);
        EXPECT_EQ(gameMode, stageSelectMode);
        EXPECT_EQ(hoverEntry, -1);
    }
    Frame(200, 300);
    xs.push_back(menuEntries[3].x);
    EXPECT_EQ(xs, (std::vector<int32_t>{321, 331, 351, 381, 421, 471, 531, 601, 681}));
    EXPECT_EQ(gameMode, playMode);
    EXPECT_TRUE(modeInitPending);
    EXPECT_EQ(chosenEntry, 3);
}

TEST_F(StageSelect, ThePlayedBarGlidesBackInAndShowsItsFlag)
{
    chosenEntry = 4;
    progress.clearedFlags[4] = 2;
    StartStageSelect();
    EXPECT_EQ(chosenEntry, -1);
    EXPECT_EQ(menuEntries[4].x, 640);
    std::vector<int32_t> xs = EntryXs(4, 40, 0, 0);
    EXPECT_EQ(std::vector<int32_t>(xs.begin(), xs.begin() + 3), (std::vector<int32_t>{580, 532, 493}));
    EXPECT_EQ(xs.back(), 341);
    // "Cleared!" ends at the bar's right end, in the cleared colour.
    bool clearedInk = false;
    for (int32_t x = 341 + 276 - 80; x < 341 + 276; ++x) {
        for (int32_t y = 217 - 15; y < 217 + 15; ++y) clearedInk = clearedInk || CanvasColor(x, y) == Rgb(60, 60, 150);
    }
    EXPECT_TRUE(clearedInk);
}
