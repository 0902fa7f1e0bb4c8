// The programs as a Linux user runs them: outputs to "-", pipes, FIFOs and links, options with "=", and two
// games sharing one progress file.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "game/data_files.h"
#include "test_helpers.h"

namespace {
const std::string tessera = TESSERA_BINARY;
const std::string runner = tessera + " --headless";
const std::string stagesTool = TESSERA_STAGES_TOOL;
const std::string runDir = TESSERA_RUN_DIR;
const std::string testData = TESSERA_TEST_DATA;

// As a player without root runs it: root could replace what a user cannot.
std::string AsUser(const std::string& commandLine)
{
    if (geteuid() != 0) return commandLine;
    return "setpriv --reuid=nobody --regid=nogroup --clear-groups " + commandLine;
}

size_t CountLines(const std::string& text)
{
    size_t lines = 0;
    for (char c : text) lines += c == '\n' ? 1 : 0;
    return lines;
}

void CopyStages(const TempDir& dir)
{
    for (int32_t i = 0; i < stageCount; ++i) {
        std::string name = "st" + std::to_string(i) + ".dat";
        WriteBytes(dir.file(name), ReadBytes(runDir + "/" + name));
    }
}

// The bytes of a FIFO up to and including its first newline.
std::string ReadFirstLine(int descriptor)
{
    std::string line;
    char c = 0;
    while (read(descriptor, &c, 1) == 1) {
        line += c;
        if (c == '\n') break;
    }
    return line;
}
}  // namespace

TEST(UserOutputs, DashAndStandardOutputAreWrittenInPlaceNeverReplaced)
{
    RunResult dash = RunProgram(runner + " --dir " + runDir + " --frames 2 --trace -");
    EXPECT_EQ(dash.exitCode, 0) << dash.output;
    EXPECT_EQ(CountLines(dash.output), 2u);
    EXPECT_EQ(dash.output.rfind("{\"frame\":0,", 0), 0u) << dash.output;

    RunResult picture = RunProgram(runner + " --dir " + runDir + " --shot 0:-");
    EXPECT_EQ(picture.exitCode, 0);
    EXPECT_EQ(picture.output.substr(0, 4), "\x89PNG");

    // The player's own copy of the game and the stages: the build may lie where they cannot reach it.
    TempDir home;
    chmod(home.path.c_str(), 0755);
    CopyStages(home);
    WriteBytes(home.file("tessera"), ReadBytes(tessera));
    chmod(home.file("tessera").c_str(), 0755);
    RunResult asUser = RunProgram(AsUser(home.file("tessera") + " --headless --dir " + home.path +
                                         " --frames 3 --trace /dev/stdout"));
    EXPECT_EQ(asUser.exitCode, 0) << asUser.output;
    EXPECT_EQ(CountLines(asUser.output), 3u) << asUser.output;

    // A device is written in place, and stays a device.
    RunResult null = RunProgram(runner + " --dir " + runDir + " --frames 2 --trace /dev/null --shot 1:/dev/null");
    EXPECT_EQ(null.exitCode, 0) << null.output;
    struct stat status {};
    ASSERT_EQ(stat("/dev/null", &status), 0);
    EXPECT_TRUE(S_ISCHR(status.st_mode));
    RunResult full = RunProgram(runner + " --dir " + runDir + " --frames 2 --trace /dev/full");
    EXPECT_EQ(full.exitCode, 2);
    EXPECT_NE(full.output.find("tessera: cannot write /dev/full: No space left on device"), std::string::npos);
    // A picture that cannot be written says the system's reason too, also through a link.
    TempDir dir;
    ASSERT_EQ(symlink("/dev/full", dir.file("full.png").c_str()), 0);
    RunResult fullShot = RunProgram(runner + " --dir " + runDir + " --shot 0:" + dir.file("full.png"));
    EXPECT_EQ(fullShot.exitCode, 2);
    EXPECT_NE(fullShot.output.find("tessera: cannot write " + dir.file("full.png") + ": No space left on device"),
              std::string::npos)
        << fullShot.output;
}

TEST(UserOutputs, PathsAreTakenFromWhereTheCommandStartedWhateverTheDirectory)
{
    TempDir start;
    TempDir data;
    CopyStages(data);
    WriteBytes(start.file("s.txt"), "seed 3\n0 5 5 -\n");
    ASSERT_EQ(mkdir(start.file("out").c_str(), 0755), 0);
    RunResult run = RunProgram("cd " + start.path + " && " + runner + " --dir " + data.path +
                               " --input s.txt --shot 5:x.png --shot 2:out/y.png --trace t.jsonl");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(ReadPng(start.file("x.png")).width, 640);
    EXPECT_EQ(ReadPng(start.file("out/y.png")).width, 640);
    EXPECT_EQ(ReadLines(start.file("t.jsonl")).size(), 6u);
    std::vector<std::string> stageNames;
    for (int32_t i = 0; i < stageCount; ++i) stageNames.push_back("st" + std::to_string(i) + ".dat");
    EXPECT_EQ(DirectoryEntries(data.path), stageNames) << "an output landed among the game's files";

    // --dir itself is relative to the start too; a name that is not there is said as the user wrote it.
    RunResult relativeDir = RunProgram("cd " + start.path + "/out && " + runner + " --dir ../../" +
                                       data.path.substr(data.path.rfind('/') + 1) + " --input ../s.txt --shot 0:z.png");
    EXPECT_EQ(relativeDir.exitCode, 0) << relativeDir.output;
    EXPECT_EQ(ReadPng(start.file("out/z.png")).width, 640);
    RunResult missing = RunProgram("cd " + start.path + " && " + runner + " --dir " + data.path + " --input nothere.txt");
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_EQ(missing.output.rfind("nothere.txt", 0), 0u) << missing.output;
}

TEST(UserOutputs, AFifoReaderSeesTheFirstFrameWhileTheRunGoesOn)
{
    TempDir dir;
    std::string fifo = dir.file("trace");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // Far more frames than a pipe holds: a runner that kept its trace until
    // the end could not be halfway when the first line arrives.
    pid_t child = StartProgram(runner + " --dir " + runDir + " --frames 3000 --trace " + fifo);
    int reading = open(fifo.c_str(), O_RDONLY);
    ASSERT_GE(reading, 0);
    std::string first = ReadFirstLine(reading);
    EXPECT_EQ(first.rfind("{\"frame\":0,", 0), 0u) << first;
    int status = 0;
    EXPECT_EQ(waitpid(child, &status, WNOHANG), 0) << "the run ended before its first line was read";
    size_t lines = 1;
    char buffer[65536];
    ssize_t got = 0;
    while ((got = read(reading, buffer, sizeof buffer)) > 0) lines += CountLines(std::string(buffer, got));
    close(reading);
    EXPECT_EQ(WaitProgram(child), 0);
    EXPECT_EQ(lines, 3000u);
    struct stat after {};
    ASSERT_EQ(lstat(fifo.c_str(), &after), 0);
    EXPECT_TRUE(S_ISFIFO(after.st_mode));
}

TEST(UserOutputs, LinksAreFollowedToTheFileTheyName)
{
    TempDir dir;
    WriteBytes(dir.file("real.jsonl"), "old");
    chmod(dir.file("real.jsonl").c_str(), 0640);
    ASSERT_EQ(symlink("real.jsonl", dir.file("trace.jsonl").c_str()), 0);
    ASSERT_EQ(symlink("made.png", dir.file("shot.png").c_str()), 0);  // dangling: the file it names is made
    RunResult run = RunProgram(runner + " --dir " + runDir + " --frames 1 --trace " + dir.file("trace.jsonl") +
                               " --shot 0:" + dir.file("shot.png"));
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_TRUE(IsLink(dir.file("trace.jsonl")));
    EXPECT_TRUE(IsLink(dir.file("shot.png")));
    EXPECT_EQ(ReadBytes(dir.file("real.jsonl")).rfind("{\"frame\":0,", 0), 0u);
    struct stat status {};
    ASSERT_EQ(stat(dir.file("real.jsonl").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u) << "the replaced file keeps its mode";
    EXPECT_EQ(ReadPng(dir.file("made.png")).width, 640);

    // A stage built over a link lands in the linked file.
    ASSERT_EQ(mkdir(dir.file("stages").c_str(), 0755), 0);
    ASSERT_EQ(symlink("../mine.dat", dir.file("stages/st0.dat").c_str()), 0);
    RunResult build = RunProgram(stagesTool + " build " PROJECT_STAGES "/01-first-steps.txt -o " + dir.file("stages"));
    EXPECT_EQ(build.exitCode, 0) << build.output;
    EXPECT_TRUE(IsLink(dir.file("stages/st0.dat")));
    EXPECT_EQ(ReadBytes(dir.file("mine.dat")).size(), sizeof(StageFile));
}

TEST(CommandLines, OptionsTakeTheirValuesEitherWayAndDoubleDashEndsThem)
{
    RunResult joined = RunProgram(runner + " --dir=" + runDir + " --frames=2 --trace=-");
    EXPECT_EQ(joined.exitCode, 0) << joined.output;
    EXPECT_EQ(CountLines(joined.output), 2u);
    RunResult check = RunProgram(stagesTool + " check --solve --limit=5 --jobs=1 " + runDir + "/st0.dat");
    EXPECT_EQ(check.exitCode, 0) << check.output;
    EXPECT_NE(check.output.find("solutions: "), std::string::npos) << check.output;

    TempDir dir;
    WriteBytes(dir.file("-odd.dat"), ReadBytes(runDir + "/st0.dat"));
    RunResult dashed = RunProgram("cd " + dir.path + " && " + stagesTool + " show -- -odd.dat");
    EXPECT_EQ(dashed.exitCode, 0) << dashed.output;
    EXPECT_NE(dashed.output.find("board 4 x 2"), std::string::npos) << dashed.output;

    // A bad option: one line naming it, then the usage, exit status 2.
    struct Refused {
        std::string commandLine;
        std::string line;
    };
    const Refused refused[] = {
        {runner + " --colour=red", "tessera: unknown option --colour"},
        {runner + " --frames", "tessera: option --frames needs a value"},
        {tessera + " --scale=9", "tessera: --scale needs a number from 1 to 4"},
        {stagesTool + " check --limit", "tessera-stages: --limit needs a positive number"},
        {stagesTool + " generate --width=4 --colour 3", "tessera-stages: unknown option --colour"},
    };
    for (const Refused& bad : refused) {
        RunResult result = RunProgram(bad.commandLine);
        EXPECT_EQ(result.exitCode, 2) << bad.commandLine;
        EXPECT_EQ(result.output.substr(0, result.output.find('\n')), bad.line) << bad.commandLine;
        EXPECT_NE(result.output.find("usage: "), std::string::npos) << bad.commandLine;
    }
}

TEST(SharedProgress, TwoGamesOnOneDirectoryKeepBothClears)
{
    TempDir dir;
    CopyStages(dir);
    std::string fifo = dir.file("b.trace");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // Game B starts and loads hist.dat (none yet), then waits on its trace
    // long before it clears stage 2: nobody reads the pipe.
    std::string late;
    for (const std::string& line : ReadLines(testData + "/second-stage.txt")) {
        int frame = 0;
        char rest[64];
        late += std::sscanf(line.c_str(), "%d %63[^\n]", &frame, rest) == 2 ? std::to_string(frame + 400) + " " + rest
                                                                           : line;
        late += "\n";
    }
    WriteBytes(dir.file("b.txt"), late);
    pid_t gameB = StartProgram(runner + " --dir " + dir.path + " --stage 1 --input " + dir.file("b.txt") +
                               " --trace " + fifo);
    int reading = open(fifo.c_str(), O_RDONLY);
    ASSERT_GE(reading, 0);
    EXPECT_EQ(TraceField(ReadFirstLine(reading), "frame"), "0");
    // Game A starts, clears stage 1 and saves.
    RunResult gameA = RunProgram(runner + " --dir " + dir.path + " --stage 0 --input " + testData + "/whole-stage.txt");
    ASSERT_EQ(gameA.exitCode, 0) << gameA.output;
    // Game B goes on, clears stage 2 and saves: stage 1's clear stays, and B's list shows it.
    std::string rest;
    char buffer[65536];
    ssize_t got = 0;
    while ((got = read(reading, buffer, sizeof buffer)) > 0) rest.append(buffer, got);
    close(reading);
    ASSERT_GT(rest.size(), 2u);
    std::string lastLine = rest.substr(rest.rfind('\n', rest.size() - 2) + 1);
    EXPECT_EQ(WaitProgram(gameB), 0);
    std::string saved = ReadBytes(dir.file("hist.dat"));
    ASSERT_EQ(saved.size(), sizeof(ProgressFile));
    EXPECT_EQ(saved[4], 1) << "stage 1's clear was lost";
    EXPECT_EQ(saved[5], 1) << "stage 2's clear was not saved";
    EXPECT_EQ(TraceField(lastLine, "clearedFlags"), "[1,1,0,0,0,0,0,0,0,0]") << lastLine.substr(0, 300);
}
