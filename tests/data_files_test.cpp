// Stage and progress files: size and magic checks, the load-time limits, and saves that keep every byte.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>

#include "game/data_files.h"
#include "game/game_frame.h"
#include "support/message_box.h"
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

TEST(StageFileLoad, NeedsExactlyTheRightSizeAndMagic)
{
    TempDir dir;
    StageFile stage = SmallStage();
    std::string bytes(reinterpret_cast<const char*>(&stage), sizeof stage);
    StageFile loaded;
    WriteBytes(dir.file("short"), bytes.substr(0, bytes.size() - 1));
    WriteBytes(dir.file("long"), bytes + "x");
    WriteBytes(dir.file("exact"), bytes);
    EXPECT_FALSE(LoadStageFile(dir.file("short").c_str(), loaded));
    EXPECT_FALSE(LoadStageFile(dir.file("long").c_str(), loaded));
    EXPECT_FALSE(LoadStageFile(dir.file("missing").c_str(), loaded));
    ASSERT_TRUE(LoadStageFile(dir.file("exact").c_str(), loaded));
    EXPECT_EQ(std::memcmp(&loaded, &stage, sizeof stage), 0);

    stage.magic = progressFileMagic;
    EXPECT_FALSE(Loads(stage));
}

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
    StageFile stage = SmallStage();
    stage.pieceCount = 51;
    EXPECT_FALSE(Loads(stage));
    stage.pieceCount = -1;
    EXPECT_FALSE(Loads(stage));

    stage = SmallStage();
    stage.shapes[0].cellCount = 41;
    EXPECT_FALSE(Loads(stage));
    stage.shapes[0].cellCount = -1;
    EXPECT_FALSE(Loads(stage));

    stage = SmallStage();
    stage.shapes[0].cells[1] = {1001, 0};
    EXPECT_FALSE(Loads(stage));
    stage.shapes[0].cells[1] = {0, -1001};
    EXPECT_FALSE(Loads(stage));
    stage.shapes[0].cells[1] = {1000, -1000};
    EXPECT_TRUE(Loads(stage));

    // Repeated cells: 20 copies of each of two neighbours make 400 pairs.
    stage = SmallStage();
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

TEST(ProgressFile, AFailedSaveIsReportedAndTheOldFileStays)
{
    TempDir dir;
    ScopedChdir inside(dir.path);
    uint8_t flags[progressFlagCount] = {1};
    WriteBytes(progressFileName, ProgressBytes(progressFileMagic, flags));
    // A directory where the temporary file would go: the write cannot start.
    mkdir("hist.dat.tmp", 0755);
    progress.clearedFlags[5] = 1;
    EXPECT_FALSE(SaveProgressFile());
    EXPECT_EQ(ReadBytes(progressFileName), ProgressBytes(progressFileMagic, flags));
}
