// Files and arguments the game does not own, tried as an attacker would: planted links, FIFOs,
// endless files, failing outputs and wild numbers. Nothing is followed, nothing blocks, nothing is lost.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

#include "game/data_files.h"
#include "support/file_io.h"
#include "test_helpers.h"

namespace {
const std::string runner = std::string(TESSERA_BINARY) + " --headless";
const std::string stagesTool = TESSERA_STAGES_TOOL;

ProgressFile SomeProgress()
{
    ProgressFile file{};
    file.magic = progressFileMagic;
    file.clearedFlags[3] = 1;
    return file;
}

// Fails the test instead of hanging it when a call blocks.
struct Deadline {
    explicit Deadline(unsigned seconds) { alarm(seconds); }
    ~Deadline() { alarm(0); }
};
}  // namespace

TEST(HostileFiles, ASaveNeverWritesThroughALinkAndIgnoresLeftovers)
{
    TempDir dir;
    ScopedChdir inside(dir.path);
    WriteBytes("victim", "precious");
    struct Plant {
        const char* name;
        void (*make)();
    };
    const Plant plants[] = {
        {"link", [] { ASSERT_EQ(symlink("victim", "hist.dat.tmp"), 0); }},
        {"dangling link", [] { ASSERT_EQ(symlink("created-by-the-save", "hist.dat.tmp"), 0); }},
        {"directory", [] { ASSERT_EQ(mkdir("hist.dat.tmp", 0755), 0); }},
        {"file", [] { WriteBytes("hist.dat.tmp", "old leftover"); }},
    };
    for (const Plant& plant : plants) {
        plant.make();
        progress = SomeProgress();
        EXPECT_TRUE(SaveProgressFile()) << plant.name;
        EXPECT_EQ(ReadBytes("victim"), "precious") << plant.name;
        EXPECT_EQ(access("created-by-the-save", F_OK), -1) << plant.name;
        EXPECT_FALSE(IsLink("hist.dat")) << plant.name;
        EXPECT_EQ(ReadBytes("hist.dat"), std::string(reinterpret_cast<const char*>(&progress), sizeof progress));
        std::vector<std::string> expected = {"hist.dat", "hist.dat.tmp", "victim"};
        EXPECT_EQ(DirectoryEntries("."), expected) << plant.name;
        RunProgram("rm -rf hist.dat.tmp");
    }
    // hist.dat itself a link: the link is replaced, its target is not written.
    ASSERT_EQ(unlink("hist.dat"), 0);
    ASSERT_EQ(symlink("victim", "hist.dat"), 0);
    EXPECT_TRUE(SaveProgressFile());
    EXPECT_EQ(ReadBytes("victim"), "precious");
    EXPECT_FALSE(IsLink("hist.dat"));
}

TEST(HostileFiles, SpecialFilesCountAsMissingAndNeverBlock)
{
    TempDir dir;
    ScopedChdir inside(dir.path);
    ASSERT_EQ(mkfifo("hist.dat", 0644), 0);
    ASSERT_EQ(mkfifo("st0.dat", 0644), 0);
    Deadline deadline(10);
    progress.clearedFlags[4] = 1;
    EXPECT_TRUE(LoadProgressFile());
    EXPECT_EQ(progress.clearedFlags[4], 0);
    StageFile stage{};
    char reason[160];
    EXPECT_FALSE(ReadStageFile("st0.dat", stage, reason, sizeof reason));
    EXPECT_STREQ(reason, "not a regular file");
    uint8_t buffer[24];
    EXPECT_EQ(ReadFileBytes("st0.dat", buffer, sizeof buffer), 0);
    EXPECT_EQ(ReadFileBytes(".", buffer, sizeof buffer), 0);
    // A save never replaces what is not a file: the FIFO stays, the save fails quietly.
    progress = SomeProgress();
    EXPECT_FALSE(SaveProgressFile());
    struct stat status {};
    ASSERT_EQ(lstat("hist.dat", &status), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode));
    EXPECT_EQ(DirectoryEntries("."), (std::vector<std::string>{"hist.dat", "st0.dat"}));
}

TEST(HostileFiles, ToolsCapWhatTheyReadAndNeverBuildThroughALink)
{
    TempDir dir;
    RunResult endless = RunProgram(runner + " --input /dev/zero");
    EXPECT_EQ(endless.exitCode, 2);
    EXPECT_NE(endless.output.find("/dev/zero: too large"), std::string::npos) << endless.output;
    RunResult folder = RunProgram(runner + " --input " + dir.path);
    EXPECT_EQ(folder.exitCode, 2);
    EXPECT_NE(folder.output.find(dir.path + ": is a directory"), std::string::npos) << folder.output;
    RunResult source = RunProgram(stagesTool + " check /dev/zero");
    EXPECT_NE(source.exitCode, 0);
    EXPECT_NE(source.output.find("/dev/zero: too large"), std::string::npos) << source.output;

    WriteBytes(dir.file("victim"), "precious");
    ASSERT_EQ(symlink(dir.file("victim").c_str(), dir.file("st0.dat.tmp").c_str()), 0);
    RunResult build = RunProgram(stagesTool + " build " + PROJECT_STAGES "/01-first-steps.txt -o " + dir.path);
    EXPECT_EQ(build.exitCode, 0) << build.output;
    EXPECT_EQ(ReadBytes(dir.file("victim")), "precious");
    EXPECT_EQ(QueryFileSize(dir.file("st0.dat").c_str()), static_cast<int32_t>(sizeof(StageFile)));
}

TEST(HostileFiles, FailedOutputsKeepTheOldFileAndSaySo)
{
    TempDir dir;
    for (const char* name : {"shot.png", "trace.jsonl"}) WriteBytes(dir.file(name), "old content");
    // A file size limit of one 512-byte block makes every longer write fail.
    const std::string limited = "sh -c 'trap \"\" XFSZ; ulimit -f 1; exec \"$0\" \"$@\"' " + runner + " --dir " TESSERA_RUN_DIR;
    RunResult shot = RunProgram(limited + " --shot 0:" + dir.file("shot.png"));
    EXPECT_EQ(shot.exitCode, 2);
    EXPECT_NE(shot.output.find("tessera: cannot write " + dir.file("shot.png") + ": "), std::string::npos) << shot.output;
    RunResult trace = RunProgram(limited + " --frames 50 --trace " + dir.file("trace.jsonl"));
    EXPECT_EQ(trace.exitCode, 2);
    EXPECT_NE(trace.output.find("tessera: cannot write " + dir.file("trace.jsonl") + ": "), std::string::npos);
    for (const char* name : {"shot.png", "trace.jsonl"}) EXPECT_EQ(ReadBytes(dir.file(name)), "old content") << name;
    EXPECT_EQ(DirectoryEntries(dir.path), (std::vector<std::string>{"shot.png", "trace.jsonl"}));
}

TEST(HostileArguments, RunnerRefusesWhatCannotRunBeforeAnyFrame)
{
    TempDir dir;
    WriteBytes(dir.file("far.txt"), "2147483647 1 1 L\n");
    RunResult far = RunProgram(runner + " --dir " TESSERA_RUN_DIR " --input " + dir.file("far.txt"));
    EXPECT_EQ(far.exitCode, 2);
    EXPECT_NE(far.output.find(dir.file("far.txt") + ":1: frame \"2147483647\" is not a number"), std::string::npos);
    RunResult late = RunProgram(runner + " --dir " TESSERA_RUN_DIR " --frames 3 --shot 3:" + dir.file("late.png"));
    EXPECT_EQ(late.exitCode, 2);
    EXPECT_NE(late.output.find("--shot frame 3 is not among the 3 frames of --frames"), std::string::npos);
    // Without --frames the run lasts until the last shot.
    RunResult shot = RunProgram(runner + " --dir " TESSERA_RUN_DIR " --shot 4:" + dir.file("four.png"));
    EXPECT_EQ(shot.exitCode, 0) << shot.output;
    EXPECT_EQ(ReadPng(dir.file("four.png")).width, 640);
}

TEST(HostileArguments, StageToolChecksSizesTimeAndRepeatedCells)
{
    RunResult huge = RunProgram(stagesTool + " generate --width 65536 --height 65536 --pieces 3");
    EXPECT_EQ(huge.exitCode, 2);
    EXPECT_NE(huge.output.find("--width must be from 1 to 10"), std::string::npos) << huge.output;

    RunResult timed = RunProgram(stagesTool + " check --solve --time-limit 1 " TESSERA_RUN_DIR "/st9.dat");
    EXPECT_EQ(timed.exitCode, 0) << timed.output;
    EXPECT_NE(timed.output.find("solutions: at least "), std::string::npos) << timed.output;
    EXPECT_NE(timed.output.find(", stopped after 1 s"), std::string::npos) << timed.output;

    TempDir dir;
    StageFile twice = MakeStage(2, 1, {{{0, 0}, {1, 0}, {0, 0}}});
    WriteStage(dir.file("twice.dat"), twice);
    RunResult repeated = RunProgram(stagesTool + " check " + dir.file("twice.dat"));
    EXPECT_EQ(repeated.exitCode, 1);
    EXPECT_NE(repeated.output.find("piece 0 lists cell (0, 0) twice, as cells 0 and 2"), std::string::npos)
        << repeated.output;
}
