// Stage and progress files: the load-time limits, damaged progress files, and saves that keep every byte.
#include <gtest/gtest.h>

#include <cstring>

#include "game/data_files.h"
#include "test_helpers.h"

namespace {
StageFile SmallStage()
{
    return MakeStage(2, 1, {{{0, 0}, {1, 0}}});
}

bool Loads(const StageFile& stage)
{
    TempDir dir;
    WriteStage(dir.file("st.dat"), stage);
    StageFile loaded;
    return LoadStageFile(dir.file("st.dat").c_str(), loaded);
}

std::string ProgressBytes(int32_t magic, const uint8_t (&flags)[progressFlagCount])
{
    std::string bytes(reinterpret_cast<const char*>(&magic), 4);
    bytes.append(reinterpret_cast<const char*>(flags), progressFlagCount);
    return bytes;
}
}  // namespace

TEST(StageFileLoad, IgnoresWhateverLiesInUnusedSlotsAndCells)
{
    StageFile stage = SmallStage();
    std::memset(&stage.shapes[1], 0xFF, sizeof(PieceShape) * (maxPieces - 1));
    stage.shapes[0].cells[5] = {-999999, 999999};
    EXPECT_TRUE(Loads(stage));
}

TEST(StageFileLoad, RefusesBoardsThatDoNotFitThePlayGrid)
{
    const int32_t tallest[] = {1, 2, 4, 5, 7, 9, 10, 12, 13, 14};
    for (int32_t width = 1; width <= 10; ++width) {
        EXPECT_EQ(MaxBoardHeight(width), tallest[width - 1]);
        StageFile stage = MakeStage(width, tallest[width - 1], {});
        EXPECT_TRUE(Loads(stage)) << width;
        stage.boardHeight += 1;
        EXPECT_FALSE(Loads(stage)) << width;
    }
    EXPECT_FALSE(Loads(MakeStage(0, 1, {})));
    EXPECT_FALSE(Loads(MakeStage(11, 1, {})));
    EXPECT_FALSE(Loads(MakeStage(3, 0, {})));
}

TEST(StageFileLoad, RefusesPiecesBeyondTheTables)
{
    for (int32_t count : {51, -1}) {
        StageFile stage = SmallStage();
        stage.pieceCount = count;
        EXPECT_FALSE(Loads(stage)) << count;
        stage = SmallStage();
        stage.shapes[0].cellCount = count == 51 ? 41 : -1;
        EXPECT_FALSE(Loads(stage)) << count;
    }
    for (Point cell : {Point{1001, 0}, Point{0, -1001}, Point{1000, -1000}}) {
        StageFile stage = SmallStage();
        stage.shapes[0].cells[1] = cell;
        EXPECT_EQ(Loads(stage), cell.x == 1000) << cell.x << "," << cell.y;
    }

    // Repeated cells: 20 copies of each of two neighbours make 400 pairs.
    StageFile stage = SmallStage();
    stage.shapes[0].cellCount = 40;
    for (int k = 0; k < 40; ++k) stage.shapes[0].cells[k] = {k % 2, 0};
    EXPECT_FALSE(Loads(stage));
    char reason[160];
    EXPECT_FALSE(CheckStageLimits(stage, reason, sizeof reason));
    EXPECT_STREQ(reason, "piece 0 has 400 adjacent cell pairs, more than 60");
}

TEST(ProgressFile, StartsClearedFlagsAtZeroUnlessTheFileIsValid)
{
    TempDir dir;
    ScopedChdir inside(dir.path);
    uint8_t flags[progressFlagCount] = {1, 2, 0, 1};

    std::memset(&progress, 0xAA, sizeof progress);
    LoadProgressFile();
    for (uint8_t flag : progress.clearedFlags) EXPECT_EQ(flag, 0);

    WriteBytes(progressFileName, ProgressBytes(stageFileMagic, flags));
    LoadProgressFile();
    EXPECT_EQ(progress.clearedFlags[0], 0);

    WriteBytes(progressFileName, ProgressBytes(progressFileMagic, flags) + "x");
    LoadProgressFile();
    EXPECT_EQ(progress.clearedFlags[0], 0);

    WriteBytes(progressFileName, ProgressBytes(progressFileMagic, flags).substr(0, 23));
    LoadProgressFile();
    EXPECT_EQ(progress.clearedFlags[0], 0);

    WriteBytes(progressFileName, ProgressBytes(progressFileMagic, flags));
    LoadProgressFile();
    EXPECT_EQ(progress.clearedFlags[1], 2);
}

TEST(ProgressFile, SaveWritesTheMagicAndKeepsEveryFlagByte)
{
    TempDir dir;
    ScopedChdir inside(dir.path);
    uint8_t flags[progressFlagCount] = {};
    flags[1] = 2;
    for (int i = 10; i < progressFlagCount; ++i) flags[i] = static_cast<uint8_t>(i * 7);
    WriteBytes(progressFileName, ProgressBytes(progressFileMagic, flags));
    LoadProgressFile();
    progress.clearedFlags[3] = 1;
    EXPECT_TRUE(SaveProgressFile());
    flags[3] = 1;
    EXPECT_EQ(ReadBytes(progressFileName), ProgressBytes(progressFileMagic, flags));
}


TEST(ProgressFile, ASaveKeepsEveryClearAnotherGameStoredSinceTheLoad)
{
    TempDir dir;
    ScopedChdir inside(dir.path);
    uint8_t none[progressFlagCount] = {};
    WriteBytes(progressFileName, ProgressBytes(progressFileMagic, none));
    LoadProgressFile();
    // Another game clears stage 5 (and keeps a byte of its own beyond the stages).
    uint8_t theirs[progressFlagCount] = {};
    theirs[5] = 2;
    theirs[14] = 9;
    WriteBytes(progressFileName, ProgressBytes(progressFileMagic, theirs));
    progress.clearedFlags[0] = 1;
    EXPECT_TRUE(SaveProgressFile());
    uint8_t both[progressFlagCount] = {};
    both[0] = 1;
    both[5] = 2;
    both[14] = 9;
    EXPECT_EQ(ReadBytes(progressFileName), ProgressBytes(progressFileMagic, both));
    EXPECT_EQ(progress.clearedFlags[5], 2) << "the stage list shows the other game's clear from now on";

    // A damaged stored file changes nothing: a wrong magic, a byte too many.
    for (const std::string& damaged : {ProgressBytes(stageFileMagic, theirs), ProgressBytes(progressFileMagic, theirs) + "x"}) {
        std::memset(progress.clearedFlags, 0, sizeof progress.clearedFlags);
        progress.clearedFlags[2] = 1;
        WriteBytes(progressFileName, damaged);
        EXPECT_TRUE(SaveProgressFile());
        uint8_t ours[progressFlagCount] = {};
        ours[2] = 1;
        EXPECT_EQ(ReadBytes(progressFileName), ProgressBytes(progressFileMagic, ours));
    }
}
