// No frame allocates: every operator new is counted while whole game frames run in each mode.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "draw/canvas.h"
#include "game/game_frame.h"
#include "game/stage_play.h"
#include "support/input_snapshot.h"
#include "support/random.h"
#include "test_helpers.h"

namespace {
std::atomic<int64_t> allocations{0};

// Runs frames with the mouse at (x, y); a click is a press then a release.
int64_t CountedFrames(int32_t frames, int32_t x, int32_t y, uint32_t buttons)
{
    int64_t before = allocations.load();
    for (int32_t i = 0; i < frames; ++i) {
        RecordMouseMove(x, y);
        SetHeldKeys(i == 0 ? buttons : 0);
        TakeInputSnapshot();
        EXPECT_EQ(GameFrame(), 0);
    }
    return allocations.load() - before;
}
}  // namespace

void* operator new(size_t size)
{
    ++allocations;
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, size_t) noexcept
{
    std::free(p);
}

void* operator new[](size_t size)
{
    ++allocations;
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}

void operator delete[](void* p) noexcept
{
    std::free(p);
}

void operator delete[](void* p, size_t) noexcept
{
    std::free(p);
}

TEST(Allocations, NoFrameAllocatesOnceFontsAndGlyphsAreLoaded)
{
    TempDir dir;
    ScopedChdir inside(dir.path);
    WriteTenStages(dir, MakeStage(3, 1, {{{0, 0}, {1, 0}}, {{0, 0}, {1, 0}, {2, 0}}}));
    canvases[0].create(640, 480);
    SeedRandom(9);
    ResetHeldKeys();

    // Warm-up: the data load, and every text drawn once so its glyphs are cached.
    CountedFrames(12, 500, 33, InputKey::LeftButton);
    ASSERT_EQ(gameMode, 1);
    CountedFrames(2, 600, 450, InputKey::LeftButton);
    ASSERT_EQ(playState, Choosing);

    EXPECT_EQ(CountedFrames(20, 500, 33, 0), 0) << "stage play with the chooser open";
    CountedFrames(2, 600, 450, InputKey::LeftButton);
    ASSERT_EQ(playState, Idle);
    EXPECT_EQ(CountedFrames(20, 100, 100, 0), 0) << "stage play";

    // Carry the triple to the board's first cell: it covers the board.
    CountedFrames(2, 600, 450, InputKey::LeftButton);
    CountedFrames(2, 320, 240, InputKey::LeftButton);
    ASSERT_EQ(playState, Dragging);
    EXPECT_EQ(CountedFrames(20, 300, 300, 0), 0) << "carrying a piece";
    pieces[carriedPiece].rotation = 0;
    CountedFrames(2, 62, 85, InputKey::LeftButton);
    ASSERT_EQ(playState, Cleared);
    EXPECT_EQ(CountedFrames(30, 300, 300, 0), 0) << "the celebration";
    EXPECT_EQ(CountedFrames(20, 300, 300, InputKey::LeftButton), 0) << "the celebration's end and its save";
    ASSERT_EQ(gameMode, 0);
    EXPECT_EQ(CountedFrames(30, 500, 171, 0), 0) << "the stage select screen";
    ResetHeldKeys();
}
