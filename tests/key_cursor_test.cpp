// Keys and pads as the mouse: every target reached and clamped, held keys repeating, the mouse taking over, drops by keys.
#include <gtest/gtest.h>

#include "cursor/key_cursor.h"
#include "draw/canvas.h"
#include "game/board_layout.h"
#include "game/game_frame.h"
#include "game/stage_play.h"
#include "game/stage_select.h"
#include "support/input_snapshot.h"
#include "support/random.h"
#include "test_helpers.h"

namespace {
// Ten copies of a 3 x 1 board with a domino and a monomino: in play the grid is
// 6 x 4 cells of 103 pixels from (62, 85); on the stage list the entries are 46 apart from y = 33.
class KeyCursorPlay : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteTenStages(dir, MakeStage(3, 1, {{{0, 0}, {1, 0}}, {{0, 0}}}));
        inDir = std::make_unique<ScopedChdir>(dir.path);
        canvases[0].create(canvasWidth, canvasHeight);
        dataLoadPending = true;
        gameMode = stageSelectMode;
        modeInitPending = true;
        chosenEntry = -1;
        hoverEntry = -1;
        SeedRandom(1);
        ResetHeldKeys();
        ResetKeyCursor();
        RecordMouseMove(5, 5);
        RecordMouseUsed(5, 5);
        Frames(2);
    }

    void TearDown() override { inDir.reset(); }

    static void Frames(int32_t count)
    {
        for (int32_t i = 0; i < count; ++i) {
            StepKeyCursor();
            TakeInputSnapshot();
            ASSERT_EQ(GameFrame(), 0);
        }
    }

    // A key pressed and let go between two frames.
    static void Tap(uint32_t control, int32_t framesAfter = 1)
    {
        RecordCursorKey(control, true);
        RecordCursorKey(control, false);
        Frames(framesAfter);
    }

    static Point Mouse() { return {inputSnapshot.mouseX, inputSnapshot.mouseY}; }

    // Steps by keys to the grid cell from wherever the cursor is, in a bounded number of taps.
    static void MoveTo(int32_t column, int32_t row)
    {
        for (int32_t tap = 0; tap < 20; ++tap) {
            if ((Mouse().x - 62) % 103 != 0 || (Mouse().y - 85) % 103 != 0) {
                Tap(CursorUp);  // off the grid's centres (the chooser): onto the nearest cell's row above
                continue;
            }
            int32_t x = (Mouse().x - 62) / 103;
            int32_t y = (Mouse().y - 85) / 103;
            if (x == column && y == row) return;
            Tap(x > column ? CursorLeft : x < column ? CursorRight : y > row ? CursorUp : CursorDown);
        }
        FAIL() << "the cursor did not reach cell (" << column << ", " << row << ")";
    }

    // From the stage list into play of stage 1 by keys.
    void EnterStageOne()
    {
        Tap(CursorDown);
        Tap(CursorUp);
        Tap(CursorPress, 40);
        ASSERT_EQ(gameMode, playMode);
        ASSERT_EQ(playState, Idle);
    }

    TempDir dir;
    std::unique_ptr<ScopedChdir> inDir;
};
}  // namespace

TEST_F(KeyCursorPlay, ArrowsReachEveryStageEntryAndStopAtTheEnds)
{
    Tap(CursorDown);  // the first key starts from the entry nearest the mouse, the first
    EXPECT_EQ(hoverEntry, 1);
    for (int32_t entry = 2; entry < stageCount; ++entry) {
        Tap(CursorDown);
        EXPECT_EQ(hoverEntry, entry);
    }
    Tap(CursorDown);
    Tap(CursorRight);
    EXPECT_EQ(hoverEntry, stageCount - 1);
    EXPECT_EQ(Mouse().y, 33 + 46 * 9);
    for (int32_t i = 0; i < 12; ++i) Tap(CursorUp);
    EXPECT_EQ(hoverEntry, 0);
}

TEST_F(KeyCursorPlay, AHeldKeyRepeatsAfterADelayAndTheSystemsOwnRepeatsChangeNothing)
{
    RecordCursorKey(CursorDown, true);
    Frames(1);
    EXPECT_EQ(hoverEntry, 1);
    for (int32_t i = 0; i < 5; ++i) RecordCursorKey(CursorDown, true);  // the system's repeats
    Frames(cursorRepeatDelayFrames - 1);
    EXPECT_EQ(hoverEntry, 1) << "no repeat before the delay";
    Frames(1);
    EXPECT_EQ(hoverEntry, 2);
    Frames(cursorRepeatIntervalFrames * 3);
    EXPECT_EQ(hoverEntry, 5);
    RecordCursorKey(CursorDown, false);
    Frames(20);
    EXPECT_EQ(hoverEntry, 5);
}

TEST_F(KeyCursorPlay, TheMouseTakesOverAndTheNextKeyStartsFromTheTargetNearestIt)
{
    Tap(CursorDown);
    Tap(CursorDown);
    EXPECT_TRUE(keyCursor.active);
    RecordMouseMove(500, 33 + 46 * 6 + 10);
    RecordMouseUsed(500, 33 + 46 * 6 + 10);
    EXPECT_FALSE(keyCursor.active);
    Frames(1);
    EXPECT_EQ(hoverEntry, 6);
    Tap(CursorDown);
    EXPECT_EQ(hoverEntry, 7);
    EXPECT_TRUE(keyCursor.active);
}

TEST_F(KeyCursorPlay, InPlayEveryGridCellIsReachedAndTheEdgesHold)
{
    EnterStageOne();
    MoveTo(0, 0);
    for (int32_t column = 0; column < 8; ++column) {
        EXPECT_EQ(Mouse().x, 62 + 103 * std::min(column, 5));
        Tap(CursorRight);
    }
    for (int32_t row = 0; row < 6; ++row) Tap(CursorDown);
    EXPECT_EQ(Mouse().x, 62 + 103 * 5);
    EXPECT_EQ(Mouse().y, 85 + 103 * 3);
    for (int32_t i = 0; i < 8; ++i) Tap(CursorLeft);
    for (int32_t i = 0; i < 6; ++i) Tap(CursorUp);
    EXPECT_EQ(Mouse().x, 62);
    EXPECT_EQ(Mouse().y, 85);
}

TEST_F(KeyCursorPlay, KeysClearAStageEachPressInAFrameOfItsOwnAndADropLandsWhereTheCursorIs)
{
    EnterStageOne();
    // Everything typed at once still lands in order: to cell (5, 3), open the
    // chooser there; the cursor follows onto the offered piece.
    for (int32_t i = 0; i < 5; ++i) RecordCursorKey(CursorRight, true), RecordCursorKey(CursorRight, false);
    for (int32_t i = 0; i < 3; ++i) RecordCursorKey(CursorDown, true), RecordCursorKey(CursorDown, false);
    RecordCursorKey(CursorPress, true);
    RecordCursorKey(CursorPress, false);
    Frames(8);
    EXPECT_EQ(playState, Idle);
    Frames(1);
    EXPECT_EQ(playState, Choosing);
    Frames(1);
    EXPECT_EQ(Mouse().x, chooserOrigin.x);
    EXPECT_EQ(Mouse().y, chooserOrigin.y);

    // The monomino is offered first: take it, carry it to board cell (2, 0), drop it.
    ASSERT_EQ(chooserPiece, 1);
    Tap(CursorPress);
    ASSERT_EQ(playState, Dragging);
    MoveTo(2, 0);
    Tap(CursorPress);
    ASSERT_EQ(playState, Idle);
    EXPECT_EQ(pieces[1].placed, 1);
    EXPECT_EQ(pieces[1].cellX, 2);
    EXPECT_EQ(pieces[1].cellY, 0);

    // The domino: opened on empty cell (0, 0), turned flat with R, dropped on cells (0, 0) and (1, 0).
    MoveTo(0, 0);
    Tap(CursorPress, 2);
    ASSERT_EQ(playState, Choosing);
    ASSERT_EQ(chooserPiece, 0);
    Tap(CursorPress);
    ASSERT_EQ(playState, Dragging);
    // Two quick turns typed at once are two turns, not one held button.
    int32_t rotation = pieces[0].rotation;
    RecordCursorKey(CursorTurn, true), RecordCursorKey(CursorTurn, false);
    RecordCursorKey(CursorTurn, true), RecordCursorKey(CursorTurn, false);
    Frames(4);
    EXPECT_EQ(pieces[0].rotation, (rotation + 2) % 4);
    for (int32_t turn = 0; turn < 4 && pieces[0].rotation != 0; ++turn) Tap(CursorTurn, 2);
    MoveTo(0, 0);
    Tap(CursorPress);
    EXPECT_EQ(playState, Cleared);
    EXPECT_EQ(ReadBytes(dir.file("hist.dat")).size(), sizeof(ProgressFile));
}

TEST(KeyCursorMapping, KeysAndPadsMapToTheSameControls)
{
    EXPECT_EQ(CursorControlsForVirtualKey(0x25), CursorLeft);
    EXPECT_EQ(CursorControlsForVirtualKey(0x0D), CursorPress);
    EXPECT_EQ(CursorControlsForVirtualKey(0x20), CursorPress);
    EXPECT_EQ(CursorControlsForVirtualKey(0x52), CursorTurn);
    EXPECT_EQ(CursorControlsForVirtualKey(0x1B), 0u) << "Esc stays the window's";
    EXPECT_EQ(CursorControlsForVirtualKey(0x09), 0u) << "Tab is not a game key";
    EXPECT_EQ(CursorControlsForPad(PadA | PadDown, 0, 0), CursorPress | CursorDown);
    EXPECT_EQ(CursorControlsForPad(PadB, 0, 0), CursorTurn);
    EXPECT_EQ(CursorControlsForPad(PadX, 0, 0), CursorTurn);
    EXPECT_EQ(CursorControlsForPad(0, -32768, 10000), CursorLeft);
    EXPECT_EQ(CursorControlsForPad(0, 16000, 32767), CursorDown);
}
