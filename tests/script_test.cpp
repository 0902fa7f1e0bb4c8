// Input scripts: the accepted lines and the exact reason for every refused one.
#include <gtest/gtest.h>

#include "shell/input_script.h"
#include "support/input_snapshot.h"

namespace {
std::string Refusal(const std::string& text)
{
    InputScript script;
    std::string error;
    EXPECT_FALSE(ParseInputScript(text, "in.txt", script, error));
    return error;
}
}  // namespace

TEST(InputScript, ReadsStepsSeedAndComments)
{
    InputScript script;
    std::string error;
    ASSERT_TRUE(ParseInputScript("# a play\nseed 42\n0 10 20 -\n5 65535 0 LR  # both\n\n9 1 2 R\n", "in.txt",
                                 script, error))
        << error;
    ASSERT_TRUE(script.seed.has_value());
    EXPECT_EQ(*script.seed, 42u);
    ASSERT_EQ(script.steps.size(), 3u);
    EXPECT_EQ(script.steps[1].frame, 5);
    EXPECT_EQ(script.steps[1].x, 65535);
    EXPECT_EQ(script.steps[1].buttons, static_cast<uint32_t>(InputKey::LeftButton | InputKey::RightButton));
    EXPECT_EQ(script.steps[2].buttons, static_cast<uint32_t>(InputKey::RightButton));
    EXPECT_STREQ(ButtonsField(script.steps[1].buttons), "LR");
}

TEST(InputScript, RefusesBadLinesWithFileAndLine)
{
    EXPECT_EQ(Refusal("0 1 2 -\n0 1 2 L\n"), "in.txt:2: frame 0 does not come after the frame before it");
    EXPECT_EQ(Refusal("0 1 2\n"), "in.txt:1: expected \"FRAME X Y BUTTONS\"");
    EXPECT_EQ(Refusal("\n-1 1 2 L\n"), "in.txt:2: frame \"-1\" is not a number from 0 to 2147483646");
    EXPECT_EQ(Refusal("0 65536 2 L\n"), "in.txt:1: mouse position must be two numbers from 0 to 65535");
    EXPECT_EQ(Refusal("0 1 2 M\n"), "in.txt:1: buttons \"M\" must be -, L, R or LR");
    EXPECT_EQ(Refusal("seed -3\n"), "in.txt:1: expected \"seed N\" with N from 0 to 4294967295");

    // Hostile lines: the last frame must leave room for the one after it, a
    // NUL byte is no end of a number, and quotes are short and escaped.
    EXPECT_EQ(Refusal("2147483647 1 2 L\n"), "in.txt:1: frame \"2147483647\" is not a number from 0 to 2147483646");
    EXPECT_EQ(Refusal(std::string("1\0" "9 1 2 L\n", 9)), "in.txt:1: frame \"1\\x009\" is not a number from 0 to 2147483646");
    EXPECT_EQ(Refusal("0 1 " + std::string("2\x01") + " L\n"), "in.txt:1: mouse position must be two numbers from 0 to 65535");
    EXPECT_EQ(Refusal("0 1 2 " + std::string(100, 'Q') + "\x1b\n"),
              "in.txt:1: buttons \"" + std::string(40, 'Q') + "...\" must be -, L, R or LR");
    EXPECT_EQ(Refusal("0 1 2 L\x7f\n"), "in.txt:1: buttons \"L\\x7f\" must be -, L, R or LR");
}
