// The browser front end's own logic, run natively: its frame clock, DOM input mapping, picture conversion and the set its address names.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "authoring/stage_pack.h"
#include "draw/canvas.h"
#include "support/input_snapshot.h"
#include "web/dom_input.h"
#include "web/frame_clock.h"
#include "web/page_set.h"
#include "web/picture.h"

TEST(WebFrameClock, KeepsFiftyMillisecondStepsAndDropsLateFrames)
{
    FrameClock clock;
    StartFrameClock(clock, 1000);
    EXPECT_FALSE(TakeDueFrame(clock, 1000));  // due strictly after the time
    EXPECT_EQ(WaitBeforeNextFrame(clock, 1000), 1);
    EXPECT_TRUE(TakeDueFrame(clock, 1000.5));
    EXPECT_EQ(clock.nextFrameTime, 1050);
    EXPECT_FALSE(TakeDueFrame(clock, 1049));
    EXPECT_EQ(WaitBeforeNextFrame(clock, 1020), 31);
    // On time: the schedule moves by exactly one period.
    EXPECT_TRUE(TakeDueFrame(clock, 1051));
    EXPECT_EQ(clock.nextFrameTime, 1100);
    // A frame that took 120 ms: the frames in between are dropped, not run.
    EXPECT_TRUE(TakeDueFrame(clock, 1220));
    EXPECT_EQ(clock.nextFrameTime, 1270);
    EXPECT_FALSE(TakeDueFrame(clock, 1230));
    EXPECT_EQ(WaitBeforeNextFrame(clock, 1300), 0);
}

TEST(WebInput, MapsTheGamesKeysAndButtonsAndNothingElse)
{
    EXPECT_EQ(KeyBitForKeyCode(0x25), InputKey::Left);
    EXPECT_EQ(KeyBitForKeyCode(0x28), InputKey::Down);
    EXPECT_EQ(KeyBitForKeyCode(0x1B), InputKey::Escape);
    EXPECT_EQ(KeyBitForKeyCode(0x10), InputKey::Shift);
    EXPECT_EQ(KeyBitForKeyCode(0x41), 0u);  // A
    EXPECT_EQ(KeyBitForMouseButton(0), InputKey::LeftButton);
    EXPECT_EQ(KeyBitForMouseButton(2), InputKey::RightButton);
    EXPECT_EQ(KeyBitForMouseButton(1), 0u);
}

TEST(WebInput, BringsPositionsOnAScaledCanvasBackToItsPixels)
{
    EXPECT_EQ(CanvasPixel(0, 640, 640), 0);
    EXPECT_EQ(CanvasPixel(639.9, 640, 640), 639);
    EXPECT_EQ(CanvasPixel(1000, 1280, 640), 500);   // shown twice as large
    EXPECT_EQ(CanvasPixel(1001.9, 1280, 640), 500);
    EXPECT_EQ(CanvasPixel(1279, 1280, 640), 639);
    // Outside the canvas (a drag past its edge) stays on it.
    EXPECT_EQ(CanvasPixel(-3, 1280, 640), 0);
    EXPECT_EQ(CanvasPixel(1400, 1280, 640), 639);
    EXPECT_EQ(CanvasPixel(10, 0, 640), 0);  // a canvas not laid out yet
}

TEST(WebPicture, TurnsTheBottomUpBgrStoreIntoTopDownRgba)
{
    Canvas& canvas = canvases[0];
    canvas.create(canvasWidth, canvasHeight);
    uint8_t* topLeft = canvas.pixelAddress(0, 0);
    topLeft[0] = 1;  // blue
    topLeft[1] = 2;  // green
    topLeft[2] = 3;  // red
    uint8_t* bottomRight = canvas.pixelAddress(canvasWidth - 1, canvasHeight - 1);
    bottomRight[2] = 200;
    std::vector<uint8_t> rgba(pictureBytes, 0);
    ConvertCanvas(canvas, rgba.data());
    EXPECT_EQ((std::vector<uint8_t>(rgba.begin(), rgba.begin() + 4)), (std::vector<uint8_t>{3, 2, 1, 255}));
    EXPECT_EQ(rgba[pictureBytes - 4], 200);
    EXPECT_EQ(rgba[pictureBytes - 1], 255);
}

TEST(WebPicture, TellsEqualStoresFromOnesThatDifferInAnyByte)
{
    std::vector<uint8_t> a(1003, 7);
    std::vector<uint8_t> b = a;
    EXPECT_TRUE(SamePixels(a.data(), b.data(), a.size()));
    for (size_t at : {size_t{0}, size_t{7}, size_t{8}, size_t{999}, size_t{1002}}) {
        b[at] = 8;
        EXPECT_FALSE(SamePixels(a.data(), b.data(), a.size())) << at;
        b[at] = 7;
    }
}

namespace {
constexpr int64_t lastSecondOf20261209 = 1796860799;  // 2026-12-09 23:59:59 UTC

PageSet SetFor(const char* pack, const char* version = nullptr, const char* level = nullptr)
{
    std::optional<std::string> packText;
    std::optional<std::string> levelText;
    std::optional<std::string> versionText;
    if (pack != nullptr) packText = pack;
    if (level != nullptr) levelText = level;
    if (version != nullptr) versionText = version;
    return ChoosePageSet(packText, levelText, versionText, lastSecondOf20261209);
}
}  // namespace

TEST(WebPageSet, NamesTheShippedStagesAPackAndTodaysPack)
{
    // A link from this page's own generator says nothing of versions.
    const std::string thisVersion = std::to_string(packGeneratorVersion);
    PageSet shipped = SetFor(nullptr, thisVersion.c_str());
    EXPECT_FALSE(shipped.pack);
    EXPECT_EQ(shipped.label, "Shipped stages");
    EXPECT_EQ(shipped.note, "");

    PageSet pack = SetFor("048213", thisVersion.c_str());
    EXPECT_TRUE(pack.pack);
    EXPECT_EQ(pack.id.seed, 48213u);
    EXPECT_EQ(pack.name, "48213");
    EXPECT_EQ(pack.label, "Pack 48213");
    EXPECT_EQ(pack.note, "");
    EXPECT_EQ(SetFor("4294967295").id.seed, 4294967295u);

    // Today in UTC, to its last second; the same pack by its number is today's too.
    PageSet today = SetFor("today");
    EXPECT_TRUE(today.pack);
    EXPECT_EQ(today.id.seed, 20261209u);
    EXPECT_EQ(today.name, "20261209");
    EXPECT_EQ(today.label, "Today's pack (2026-12-09)");
    EXPECT_EQ(SetFor("20261209").label, "Today's pack (2026-12-09)");
    EXPECT_EQ(ChoosePageSet(std::string("today"), std::nullopt, std::nullopt, lastSecondOf20261209 + 1).id.seed, 20261210u);
}

TEST(WebPageSet, NamesAPackOfALevelByItsNameOrTodayAndAChosenLevel)
{
    PageSet hard = SetFor("hard-048213", "3");
    EXPECT_TRUE(hard.pack);
    EXPECT_EQ(hard.name, "hard-48213");
    EXPECT_EQ(hard.label, "Pack hard-48213");
    EXPECT_EQ(hard.chosenLevel, "hard");
    EXPECT_EQ(SetFor("48213", nullptr, "hard").name, "hard-48213");
    PageSet today = SetFor("today", nullptr, "hard");
    EXPECT_EQ(today.name, "hard-20261209");
    EXPECT_EQ(today.label, "Today's hard pack (2026-12-09)");
    EXPECT_EQ(SetFor("hard-20261209").label, "Today's hard pack (2026-12-09)");

    // A level alone only chooses the level offered for new packs.
    PageSet levelAlone = SetFor(nullptr, nullptr, "hard");
    EXPECT_FALSE(levelAlone.pack);
    EXPECT_EQ(levelAlone.chosenLevel, "hard");
    EXPECT_EQ(levelAlone.note, "");
    for (auto [pack, level] : {std::pair<const char*, const char*>{"hard-5", "expert"}, {"5", "Hard"}, {nullptr, "x"},
                               {"normal-5", nullptr}, {"expert-5", "normal"}, {"master-5", nullptr}, {"hard-5", "normal"}}) {
        PageSet set = SetFor(pack, nullptr, level);
        EXPECT_FALSE(set.pack) << (pack ? pack : "") << " " << (level ? level : "");
        EXPECT_FALSE(set.note.empty());
        EXPECT_EQ(set.note.find('\n'), std::string::npos) << set.note;
    }
    EXPECT_EQ(SetFor("hard-5", nullptr, "normal").note, "pack hard-5 is hard, not normal");
}

TEST(WebPageSet, GivesABadLinkTheShippedStagesAndOnePlainLine)
{
    const std::string longNumber(10000, '7');
    for (const char* pack : {"-1", "abc", "4294967296", "", " 5", "Today", longNumber.c_str()}) {
        PageSet set = SetFor(pack);
        EXPECT_FALSE(set.pack) << pack;
        EXPECT_EQ(set.label, "Shipped stages");
        EXPECT_FALSE(set.note.empty()) << pack;
        EXPECT_EQ(set.note.find('\n'), std::string::npos) << set.note;
        EXPECT_LT(set.note.size(), 200u) << set.note;
    }
    const std::string longVersion(10000, '9');
    for (const char* version : {"x", "", "-3", "3.0", longVersion.c_str()}) {
        PageSet set = SetFor("1", version);
        EXPECT_FALSE(set.pack) << version;
        EXPECT_NE(set.note.find("version"), std::string::npos) << set.note;
        EXPECT_EQ(set.note.find('\n'), std::string::npos) << set.note;
        EXPECT_LT(set.note.size(), 200u) << set.note;
    }
}

TEST(WebPageSet, OpensALinkFromAnotherGeneratorAndSaysItsStagesDiffer)
{
    PageSet older = SetFor("48213", "2");
    EXPECT_TRUE(older.pack);
    EXPECT_EQ(older.id.seed, 48213u);
    EXPECT_NE(older.note.find("version 2"), std::string::npos) << older.note;
    EXPECT_NE(older.note.find("differ"), std::string::npos) << older.note;
    // A link from a newer page too.
    EXPECT_NE(SetFor("48213", std::to_string(packGeneratorVersion + 1).c_str()).note.find("differ"), std::string::npos);
}
