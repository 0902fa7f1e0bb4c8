// The canvas over its pixel store: addressing, blending, rectangles, wide strokes and text placement.
#include <gtest/gtest.h>

#include <cstring>

#include "draw/canvas.h"
#include "draw/font_cache.h"
#include "test_helpers.h"

namespace {
class CanvasTest : public ::testing::Test {
protected:
    void SetUp() override { FreshCanvas(); }
    static Canvas& canvas() { return canvases[0]; }

    static int32_t CountColor(uint32_t color)
    {
        int32_t count = 0;
        for (int32_t y = 0; y < 480; ++y) {
            for (int32_t x = 0; x < 640; ++x) count += CanvasColor(x, y) == color ? 1 : 0;
        }
        return count;
    }

    // The leftmost column that holds any non-black pixel, or -1.
    static int32_t FirstInkColumn()
    {
        for (int32_t x = 0; x < 640; ++x) {
            for (int32_t y = 0; y < 480; ++y) {
                if (CanvasColor(x, y) != 0) return x;
            }
        }
        return -1;
    }
};
}  // namespace

TEST_F(CanvasTest, PixelsAreStoredBottomRowFirstInBlueGreenRed)
{
    uint8_t* store = canvas().pixels.get();
    EXPECT_EQ(pixelAt(0, 479), store);
    EXPECT_EQ(pixelAt(0, 0), store + 479 * 640 * 3);
    EXPECT_EQ(pixelAt(5, 0), store + 479 * 640 * 3 + 15);
    canvas().setColor(1, 2, 3);
    canvas().rectangle(10, 20, 14, 23);
    EXPECT_EQ(CountColor(Rgb(1, 2, 3)), 12);
    const uint8_t* p = pixelAt(10, 20);
    EXPECT_EQ(p[0], 3);
    EXPECT_EQ(p[1], 2);
    EXPECT_EQ(p[2], 1);
    EXPECT_EQ(CanvasColor(13, 22), Rgb(1, 2, 3));
    EXPECT_EQ(CanvasColor(14, 22), 0u);
    EXPECT_EQ(CanvasColor(13, 23), 0u);
}

TEST_F(CanvasTest, BlendMovesHalfwayRoundingDownInsideTheClippedRectangle)
{
    canvas().setColor(150, 150, 150);
    blendRect(100, 50, 540, 430);
    EXPECT_EQ(CountColor(Rgb(75, 75, 75)), 440 * 380);
    EXPECT_EQ(CanvasColor(99, 50), 0u);
    EXPECT_EQ(CanvasColor(540, 429), 0u);

    canvas().setColor(255, 0, 100);
    canvas().rectangle(0, 0, 1, 1);
    canvas().setColor(0, 255, 101);
    blendRect(-5, -5, 1, 1);
    EXPECT_EQ(CanvasColor(0, 0), Rgb(127, 127, 100));

    canvas().setColor(9, 9, 9);
    blendRect(600, 470, 900, 900);
    EXPECT_EQ(CanvasColor(639, 479), Rgb(4, 4, 4));
    blendRect(700, 0, 800, 480);
    blendRect(10, 10, 10, 20);
    EXPECT_EQ(CountColor(Rgb(4, 4, 4)), 40 * 10);
}

TEST_F(CanvasTest, ColorChangesKeepPenAndBrushApartFromTheTextColour)
{
    canvas().setColor(10, 20, 30);
    canvas().setTextColor(200, 100, 50);
    EXPECT_EQ(canvas().red, 200);
    EXPECT_EQ(canvas().pen.red, 10);
    EXPECT_EQ(canvas().brush.blue, 30);
    canvas().rectangle(0, 0, 3, 3);
    EXPECT_EQ(CanvasColor(1, 1), Rgb(10, 20, 30));
    canvas().updatePen(9);
    EXPECT_EQ(canvas().pen.width, 9);
    EXPECT_EQ(canvas().pen.red, 200);
}

// How many pixels in a row from (x, y), stepping by (dx, dy), are lit.
int32_t LitRun(int32_t x, int32_t y, int32_t dx, int32_t dy)
{
    int32_t count = 0;
    while (CanvasColor(x, y) != 0u) {
        ++count;
        x += dx;
        y += dy;
    }
    return count;
}

TEST_F(CanvasTest, WideStrokesAreExactlyAsWideAsThePenWithRoundCaps)
{
    canvas().setColor(255, 255, 255);
    canvas().updatePen(10);
    canvas().moveTo(100, 100);
    canvas().lineTo(140, 100);
    EXPECT_EQ(canvas().penX, 140);
    // Even width: pixel centres within 5 of the axis, rows 95..104 and columns 95..144.
    EXPECT_EQ(LitRun(120, 95, 0, 1), 10);
    EXPECT_EQ(CanvasColor(120, 94), 0u);
    EXPECT_EQ(LitRun(95, 100, 1, 0), 50);
    EXPECT_EQ(CanvasColor(94, 100), 0u);
    // The round cap: the centre of (143, 103) is (3.5, 3.5) from the end point, within 5; (144, 103) is not.
    EXPECT_EQ(CanvasColor(143, 103), Rgb(255, 255, 255));
    EXPECT_EQ(CanvasColor(144, 103), 0u);

    // Odd width: the points (x, y) within 5.5, columns 295..305 and rows 95..165.
    canvas().updatePen(11);
    canvas().moveTo(300, 100);
    canvas().lineTo(300, 160);
    EXPECT_EQ(LitRun(295, 130, 1, 0), 11);
    EXPECT_EQ(CanvasColor(294, 130), 0u);
    EXPECT_EQ(LitRun(300, 95, 0, 1), 71);

    // Slanted strokes follow the same rule.
    canvas().updatePen(10);
    canvas().moveTo(400, 100);
    canvas().lineTo(460, 160);
    EXPECT_EQ(CanvasColor(430, 130), Rgb(255, 255, 255));
    EXPECT_EQ(CanvasColor(434, 126), 0u);

    // Far outside the picture nothing is drawn and nothing breaks.
    canvas().moveTo(-300000, 5);
    canvas().lineTo(-300000 + 310, 5);
    canvas().moveTo(900000, 900000);
    canvas().lineTo(-900000, -900000);
}

// A piece's rim, the cell size less 8 wide, keeps 4 pixels from its cell's
// borders on all four sides at every cell size the game uses: the cell centred
// on c covers c - s / 2 to c - s / 2 + s - 1.
TEST_F(CanvasTest, ARimKeepsFourPixelsFromEveryCellBorder)
{
    for (int32_t s : {31, 34, 38, 44, 46, 51, 60, 62, 77, 103}) {
        canvas().setColor(0, 0, 0);
        canvas().clear();
        canvas().setColor(255, 255, 255);
        canvas().updatePen(s - 8);
        int32_t c = 150;
        canvas().moveTo(c, c);
        canvas().lineTo(c + s, c);
        int32_t first = c - s / 2 + 4;
        EXPECT_EQ(CanvasColor(first - 1, c), 0u) << s;
        EXPECT_EQ(LitRun(first, c, 1, 0), 2 * s - 8) << s;
        EXPECT_EQ(CanvasColor(c, first - 1), 0u) << s;
        EXPECT_EQ(LitRun(c, first, 0, 1), s - 8) << s;
    }
}

TEST_F(CanvasTest, TextIsPlacedByItsMeasuredWidth)
{
    canvas().setFont("Arial", 60);
    const char* text = "NO Block";
    int32_t w = canvas().measureText(text).width;
    ASSERT_GT(w, 100);
    canvas().setColor(240, 240, 240);
    canvas().moveTo(320, 210);
    canvas().textOutCentered(text);
    EXPECT_EQ(canvas().penX, 320);
    EXPECT_EQ(canvas().penY, 270);
    int32_t first = FirstInkColumn();
    EXPECT_GE(first, 320 - w / 2);
    EXPECT_LE(first, 320 - w / 2 + 6);

    canvas().setColor(0, 0, 0);
    canvas().clear();
    canvas().setColor(240, 240, 240);
    canvas().moveTo(320, 210);
    canvas().textOutRight(text);
    EXPECT_EQ(canvas().penX, 320);
    EXPECT_GE(FirstInkColumn(), 320 - w);
    EXPECT_LE(FirstInkColumn(), 320 - w + 6);

    canvas().moveTo(5, 7);
    canvas().textOut("");
    EXPECT_EQ(canvas().penX, 5);
    EXPECT_EQ(canvas().penY, 67);
}

TEST(FontCache, ArialResolvesToAMetricCompatibleFace)
{
    char family[128] = {};
    ASSERT_TRUE(ResolveFontFamily("Arial", family, sizeof family));
    EXPECT_STREQ(family, "Liberation Sans");
    EXPECT_FALSE(ResolveFontFamily("No Such Face Anywhere", family, sizeof family));
}

TEST(CanvasLifetime, ReleaseAndRecreateAreSafe)
{
    Canvas fresh;
    fresh.release();
    EXPECT_FALSE(fresh.valid);
    fresh.create(4, 3);
    fresh.create(8, 2);
    EXPECT_TRUE(fresh.valid);
    EXPECT_EQ(fresh.width, 8);
    EXPECT_EQ(fresh.pixels[8 * 2 * 3 - 1], 0);
    EXPECT_EQ(fresh.red, 255);
    EXPECT_EQ(fresh.pen.width, 1);
    fresh.release();
    EXPECT_EQ(fresh.pixels, nullptr);
    fresh.setColor(1, 1, 1);
    fresh.rectangle(0, 0, 5, 5);
    fresh.moveTo(0, 0);
    fresh.lineTo(3, 3);
}
