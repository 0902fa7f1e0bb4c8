// Whole runs of the real program through the headless runner: scripts in, traces and pictures out.
#include <gtest/gtest.h>

#include <cstring>

#include "support/format_ring.h"
#include "test_helpers.h"

namespace {
// A 3 x 1 board with a domino and a monomino: grid 6 x 4, cell size 103, origin (62, 85).
StageFile SmallStage()
{
    return MakeStage(3, 1, {{{0, 0}, {1, 0}}, {{0, 0}}});
}

// The play of that stage, as clicks on successive odd frames from a first frame.
std::string PlayScript(int32_t first)
{
    struct Click {
        int32_t x, y;
        const char* buttons;
    };
    const Click clicks[] = {
        {600, 450, "L"},  // empty space: the chooser opens on the monomino
        {320, 240, "R"},  // step to the domino
        {320, 240, "L"},  // take it
        {320, 240, "R"},  // turn it twice
        {320, 240, "R"},
        {639, 5, "L"},    // drop it off the grid: refused, its turn restored
        {600, 450, "L"},  // the chooser again, on the monomino
        {320, 240, "L"},  // take it
        {268, 85, "L"},   // drop it on board cell (2, 0)
        {268, 85, "L"},   // pick it up from the grid
        {268, 85, "L"},   // and drop it where it was
        {62, 85, "L"},    // an empty board cell: the chooser, on the domino
        {320, 240, "L"},  // take it
        {165, 85, "L"},   // cells (0, 0) and (1, 0): the board is covered
    };
    std::string script = "seed 1\n";
    int32_t frame = first;
    for (const Click& click : clicks) {
        script += std::to_string(frame) + " " + std::to_string(click.x) + " " + std::to_string(click.y) + " " +
                  click.buttons + "\n";
        script += std::to_string(frame + 1) + " " + std::to_string(click.x) + " " + std::to_string(click.y) + " -\n";
        frame += 2;
    }
    return script;
}

std::string RunHeadless(const TempDir& dir, const std::string& options)
{
    RunResult result = RunProgram(std::string(TESSERA_BINARY) + " --headless --dir " + dir.path + " " + options);
    EXPECT_EQ(result.exitCode, 0) << result.output;
    return result.output;
}

std::string PieceField(const std::string& line, int32_t piece, const std::string& name)
{
    std::string pieces = TraceField(line, "pieces");
    size_t at = 0;
    for (int32_t i = 0; i <= piece; ++i) at = pieces.find('{', at + 1);
    return TraceField(pieces.substr(at), name);
}
}  // namespace

TEST(Scenario, AStagePlaysThroughFromTheChooserToTheCoveringDrop)
{
    TempDir dir;
    WriteTenStages(dir, SmallStage());
    WriteBytes(dir.file("play.txt"), PlayScript(1));
    RunHeadless(dir, "--seed 1 --stage 0 --input " + dir.file("play.txt") + " --trace " + dir.file("trace.jsonl"));
    std::vector<std::string> trace = ReadLines(dir.file("trace.jsonl"));
    ASSERT_EQ(trace.size(), 29u);
    // The deal follows the generator from seed 1: 130, 10982, 1090, 11656, 7117, ...
    EXPECT_EQ(PieceField(trace[0], 0, "rotation"), "2");
    EXPECT_EQ(PieceField(trace[0], 0, "color"), "[182,190,156]");
    EXPECT_EQ(PieceField(trace[0], 1, "rotation"), "1");
    EXPECT_EQ(TraceField(trace[0], "cellSize"), "103");

    EXPECT_EQ(TraceField(trace[1], "playState"), "2");
    EXPECT_EQ(TraceField(trace[1], "chooserPiece"), "1");
    EXPECT_EQ(TraceField(trace[3], "chooserPiece"), "0");
    EXPECT_EQ(TraceField(trace[5], "playState"), "1");
    EXPECT_EQ(TraceField(trace[5], "carriedPiece"), "0");
    EXPECT_EQ(PieceField(trace[7], 0, "rotation"), "3");
    EXPECT_EQ(PieceField(trace[9], 0, "rotation"), "0");
    EXPECT_EQ(TraceField(trace[11], "playState"), "0");
    EXPECT_EQ(PieceField(trace[11], 0, "rotation"), "2");
    EXPECT_EQ(PieceField(trace[11], 0, "placed"), "0");
    EXPECT_EQ(PieceField(trace[17], 1, "placed"), "1");
    EXPECT_EQ(PieceField(trace[17], 1, "cellX"), "2");
    EXPECT_EQ(TraceField(trace[19], "hoveredPiece"), "1");
    EXPECT_EQ(TraceField(trace[19], "carriedPiece"), "1");
    EXPECT_EQ(TraceField(trace[21], "playState"), "0");
    EXPECT_EQ(PieceField(trace[21], 1, "cellX"), "2");
    EXPECT_EQ(TraceField(trace[23], "chooserPiece"), "0");
    EXPECT_EQ(TraceField(trace[26], "playState"), "1");
    EXPECT_EQ(TraceField(trace[27], "playState"), "3");
    EXPECT_EQ(PieceField(trace[27], 0, "cellX"), "1");
    EXPECT_EQ(TraceField(trace[28], "celebrationFrame"), "1");
}

TEST(Scenario, AWholeRunGoesFromTheStageSelectScreenBackToItWithProgressSaved)
{
    TempDir dir;
    WriteTenStages(dir, SmallStage());
    std::string old(24, '\0');
    int32_t magic = 1249206;
    std::memcpy(old.data(), &magic, 4);
    for (int i = 10; i < 20; ++i) old[4 + i] = static_cast<char>(i);
    old[4 + 3] = 1;
    WriteBytes(dir.file("hist.dat"), old);

    // Frame 0 loads and shows the screen; the click on frame 1 chooses stage 1,
    // whose bar is past the edge on frame 9; play starts on frame 10.
    std::string script = "0 500 33 -\n1 500 33 L\n2 500 33 -\n";
    script += PlayScript(11).substr(7);
    // The covering drop is on frame 37; the letters rest from frame 49; a click on 59.
    script += "59 300 300 L\n60 300 300 -\n130 300 300 -\n";
    WriteBytes(dir.file("run.txt"), script);
    RunHeadless(dir, "--seed 1 --input " + dir.file("run.txt") + " --trace " + dir.file("trace.jsonl") + " --shot 90:" +
                 dir.file("select.png") + " --shot 45:" + dir.file("perfect.png"));
    std::vector<std::string> trace = ReadLines(dir.file("trace.jsonl"));
    ASSERT_EQ(trace.size(), 131u);

    EXPECT_EQ(TraceField(trace[0], "gameMode"), "0");
    EXPECT_EQ(TraceField(trace[0], "hoverEntry"), "0");
    EXPECT_EQ(TraceField(trace[1], "chosenEntry"), "0");
    EXPECT_EQ(TraceField(trace[8], "gameMode"), "0");
    EXPECT_EQ(TraceField(trace[9], "gameMode"), "1");
    EXPECT_EQ(TraceField(trace[10], "cellSize"), "103");
    EXPECT_EQ(TraceField(trace[37], "playState"), "3");
    EXPECT_EQ(TraceField(trace[38], "celebrationFrame"), "1");
    EXPECT_EQ(TraceField(trace[49], "banner"), "[[180,430],[180,430],[180,430],[180,430],[180,430],[180,430],"
                                                "[180,430],[180,430]]");
    EXPECT_EQ(TraceField(trace[59], "celebrationHurry"), "1");
    EXPECT_EQ(TraceField(trace[72], "gameMode"), "1");
    EXPECT_EQ(TraceField(trace[73], "gameMode"), "0");
    EXPECT_EQ(TraceField(trace[73], "clearedFlags"), "[1,0,0,1,0,0,0,0,0,0]");
    EXPECT_EQ(TraceField(trace[74], "entries").substr(0, 9), "[[580,33]");
    EXPECT_EQ(TraceField(trace[130], "entries").substr(0, 9), "[[341,33]");

    std::string saved = ReadBytes(dir.file("hist.dat"));
    std::string expected = old;
    expected[4] = 1;
    EXPECT_EQ(saved, expected);

    Picture select = ReadPng(dir.file("select.png"));
    ASSERT_EQ(select.width, 640);
    EXPECT_EQ(select.at(331, 79), Rgb(120, 120, 120));
    bool clearedInk = false;
    for (int32_t x = 520; x < 617; ++x) {
        for (int32_t y = 18; y < 48; ++y) clearedInk = clearedInk || select.at(x, y) == Rgb(60, 60, 150);
    }
    EXPECT_TRUE(clearedInk);
    Picture perfect = ReadPng(dir.file("perfect.png"));
    int32_t letters = 0;
    for (int32_t y = 380; y < 480; ++y) {
        for (int32_t x = 0; x < 400; ++x) letters += perfect.at(x, y) == Rgb(250, 250, 250) ? 1 : 0;
    }
    EXPECT_GT(letters, 500);
}

TEST(Scenario, ScreenshotsShowThePlayFieldAndTheChooser)
{
    TempDir dir;
    WriteTenStages(dir, SmallStage());
    WriteBytes(dir.file("in.txt"), "0 0 0 -\n2 600 450 L\n3 600 450 -\n4 600 450 R\n5 600 450 -\n");
    RunHeadless(dir, "--seed 1 --stage 0 --input " + dir.file("in.txt") + " --shot 0:" + dir.file("play.png") +
                 " --shot 5:" + dir.file("chooser.png"));
    Picture play = ReadPng(dir.file("play.png"));
    ASSERT_EQ(play.width, 640);
    ASSERT_EQ(play.height, 480);
    EXPECT_EQ(play.at(62, 85), Rgb(100, 80, 80));
    EXPECT_EQ(play.at(62 + 3 * 103, 85), Rgb(80, 80, 80));
    EXPECT_EQ(play.at(62, 85 - 51), 0u);
    Picture chooser = ReadPng(dir.file("chooser.png"));
    EXPECT_EQ(chooser.at(62 + 103, 85), Rgb(125, 115, 115));
    EXPECT_EQ(chooser.at(62, 85), Rgb(100, 80, 80));
    // The offered domino, colour (182, 190, 156) from seed 1, half a turn round
    // from the chooser's point: its core is 20 lighter.
    EXPECT_EQ(chooser.at(268, 240), Rgb(202, 210, 176));
    EXPECT_EQ(chooser.at(320 - 103 - 45, 240), Rgb(182, 190, 156));
}

TEST(Scenario, BadStageFilesEndTheGameWithItsMessage)
{
    StageFile good = SmallStage();
    StageFile wide = good;
    wide.boardWidth = 11;
    StageFile wrongMagic = good;
    wrongMagic.magic = 7;
    std::string bytes(reinterpret_cast<const char*>(&good), sizeof good);
    struct Case {
        const char* name;
        std::string content;
        const char* line;  // what the game says of the file on stderr
    };
    const Case cases[] = {
        {"short", bytes.substr(1), "st5.dat: 16215 bytes, not 16216"},
        {"long", bytes + "?", "st5.dat: 16217 bytes, not 16216"},
        {"magic", std::string(reinterpret_cast<const char*>(&wrongMagic), sizeof wrongMagic),
         "st5.dat: magic 7 is not the stage file magic 1245985"},
        {"limits", std::string(reinterpret_cast<const char*>(&wide), sizeof wide),
         "st5.dat: board width 11 is outside 1..10"},
    };
    for (const Case& bad : cases) {
        TempDir dir;
        WriteTenStages(dir, good);
        WriteBytes(dir.file("st5.dat"), bad.content);
        RunResult result = RunProgram(std::string(TESSERA_BINARY) + " --headless --dir " + dir.path);
        EXPECT_EQ(result.exitCode, 1) << bad.name;
        EXPECT_NE(result.output.find("失敗: データファイルのロードに失敗しました。"), std::string::npos) << bad.name;
        EXPECT_NE(result.output.find(std::string(bad.line) + "\n"), std::string::npos) << result.output;
    }
    TempDir empty;
    RunResult none = RunProgram(std::string(TESSERA_BINARY) + " --headless --dir " + empty.path);
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_NE(none.output.find("st0.dat: missing\n"), std::string::npos) << none.output;
}

TEST(Scenario, BadArgumentsAndScriptsAreRefusedBeforeAnyFrame)
{
    TempDir dir;
    WriteTenStages(dir, SmallStage());
    WriteBytes(dir.file("bad.txt"), "0 1 1 -\n# fine\n3 1 1 X\n");
    RunResult script = RunProgram(std::string(TESSERA_BINARY) + " --headless --dir " + dir.path + " --input " +
                                  dir.file("bad.txt") + " --trace " + dir.file("t.jsonl"));
    EXPECT_EQ(script.exitCode, 2);
    EXPECT_NE(script.output.find(dir.file("bad.txt") + ":3: buttons \"X\" must be -, L, R or LR"), std::string::npos);
    EXPECT_TRUE(ReadLines(dir.file("t.jsonl")).empty());
    for (const char* options : {"--stage 10", "--seed x", "--frames", "--bogus 1", "--shot 5"}) {
        RunResult result = RunProgram(std::string(TESSERA_BINARY) + " --headless --dir " + dir.path + " " + options);
        EXPECT_EQ(result.exitCode, 2) << options;
        EXPECT_NE(result.output.find("tessera --headless [--dir DIR | --pack P [--level L]]"), std::string::npos) << options;
    }
}
