// The text banner: letters measured on the canvas, centred on their anchors, anchors left alone.
#include <gtest/gtest.h>

#include "draw/canvas.h"
#include "draw/text_banner.h"
#include "test_helpers.h"

namespace {
class TextBannerTest : public ::testing::Test {
protected:
    void SetUp() override { FreshCanvas(); }
};
}  // namespace

TEST_F(TextBannerTest, AnchorsBelongToTheCallerAndIndexesAreChecked)
{
    TextBanner banner;
    banner.setText("abc");
    for (int32_t i = 0; i < 3; ++i) *banner.letterPosition(i) = {10 * i, 7};
    banner.setText("xyz");
    banner.setFontHeight(40);
    EXPECT_EQ(banner.letterPosition(2)->x, 20);
    EXPECT_EQ(banner.letterPosition(2)->y, 7);
    EXPECT_EQ(banner.letterPosition(3), nullptr);
    EXPECT_EQ(banner.letterPosition(-1), nullptr);

    banner.setText("");
    EXPECT_EQ(banner.letterCount, 0);
    EXPECT_EQ(banner.totalWidth, 0);
    EXPECT_EQ(banner.letterPosition(0), nullptr);

    std::string tooLong(80, 'w');
    banner.setText(tooLong.c_str());
    EXPECT_EQ(banner.length, TextBanner::capacity - 1);
}

TEST_F(TextBannerTest, DrawingLeavesTheBannerFontAndThePenBelowTheLastLetter)
{
    TextBanner banner;
    banner.setText("Hi");
    banner.setFontHeight(60);
    *banner.letterPosition(0) = {300, 200};
    *banner.letterPosition(1) = {300, 200};
    canvases[0].setColor(250, 250, 250);
    EXPECT_TRUE(banner.draw());
    EXPECT_STREQ(canvases[0].fontFace, "Arial");
    EXPECT_EQ(canvases[0].fontHeight, 60);
    EXPECT_EQ(canvases[0].penY, 200 - 30 + 60);
    EXPECT_EQ(canvases[0].penX, 300 + banner.letterOffsets[1].x);
    int32_t lit = 0;
    for (int32_t y = 0; y < 480; ++y) {
        for (int32_t x = 0; x < 640; ++x) {
            if (CanvasColor(x, y) == 0) continue;
            ++lit;
            EXPECT_GE(x, 300 - banner.totalWidth / 2 - 4);
            EXPECT_LT(x, 300 + banner.totalWidth / 2 + 4);
        }
    }
    EXPECT_GT(lit, 100);
}
