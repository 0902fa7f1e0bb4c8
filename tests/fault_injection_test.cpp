// Progress saves under failure: refused files, full disks, failing flushes and renames, and kills
// mid-save. hist.dat must always be the old or the new valid file; the game says so in one line and goes on.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "draw/canvas.h"
#include "game/celebration.h"
#include "game/data_files.h"
#include "game/game_frame.h"
#include "game/stage_play.h"
#include "support/file_io.h"
#include "support/input_snapshot.h"
#include "test_helpers.h"

namespace {
enum class Fault { None, Open, Write, Flush, Sync, Close, Rename };
Fault fault = Fault::None;
int savingDescriptor = -1;

// A save's temporary file: hist.dat.tmp. and six random characters.
bool IsTemporary(const char* path)
{
    return std::strstr(path, "hist.dat.tmp.") != nullptr;
}

bool IsSaving(std::FILE* file)
{
    return file != nullptr && savingDescriptor >= 0 && fileno(file) == savingDescriptor;
}

template <typename Function>
Function Next(const char* name)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}
}  // namespace

// The C library calls that a save makes, each able to fail for the save's own file only.
extern "C" {
int mkostemp(char* pattern, int flags)
{
    static auto real = Next<int (*)(char*, int)>("mkostemp");
    if (IsTemporary(pattern) && fault == Fault::Open) {
        errno = EROFS;
        return -1;
    }
    int descriptor = real(pattern, flags);
    if (IsTemporary(pattern)) savingDescriptor = descriptor;
    return descriptor;
}

size_t fwrite(const void* data, size_t size, size_t count, std::FILE* file)
{
    static auto real = Next<size_t (*)(const void*, size_t, size_t, std::FILE*)>("fwrite");
    if (IsSaving(file) && fault == Fault::Write) {
        errno = ENOSPC;
        return real(data, size, count / 2, file);
    }
    return real(data, size, count, file);
}

int fflush(std::FILE* file)
{
    static auto real = Next<int (*)(std::FILE*)>("fflush");
    if (IsSaving(file) && fault == Fault::Flush) {
        errno = ENOSPC;
        return EOF;
    }
    return real(file);
}

int fsync(int descriptor)
{
    static auto real = Next<int (*)(int)>("fsync");
    if (descriptor == savingDescriptor && fault == Fault::Sync) {
        errno = EIO;
        return -1;
    }
    return real(descriptor);
}

int fclose(std::FILE* file)
{
    static auto real = Next<int (*)(std::FILE*)>("fclose");
    bool saving = IsSaving(file);
    if (saving) savingDescriptor = -1;
    int result = real(file);
    if (saving && fault == Fault::Close) {
        errno = ENOSPC;
        return EOF;
    }
    return result;
}

// While set, reads deliver at most this many bytes in all, as from a file
// that shrank after its size was taken.
int64_t shrunkReadBytes = -1;

ssize_t read(int descriptor, void* buffer, size_t count)
{
    static auto real = Next<ssize_t (*)(int, void*, size_t)>("read");
    if (shrunkReadBytes < 0) return real(descriptor, buffer, count);
    size_t allowed = std::min(count, static_cast<size_t>(shrunkReadBytes));
    ssize_t got = real(descriptor, buffer, allowed);
    if (got > 0) shrunkReadBytes -= got;
    return got;
}

int rename(const char* from, const char* to)
{
    static auto real = Next<int (*)(const char*, const char*)>("rename");
    if (IsTemporary(from) && fault == Fault::Rename) {
        errno = EXDEV;
        return -1;
    }
    return real(from, to);
}
}

namespace {
std::string ProgressImage(uint8_t firstFlag)
{
    ProgressFile file{};
    file.magic = progressFileMagic;
    file.clearedFlags[0] = firstFlag;
    file.clearedFlags[12] = 44;
    return std::string(reinterpret_cast<const char*>(&file), sizeof file);
}

// Ends a celebration of stage 2 with the progress file as it is, and checks
// that the game goes back to the stage select screen with the flag set.
void FinishCelebration()
{
    if (!banner.has_value()) {
        canvases[0].create(640, 480);
        ConstructBanner();
        PrepareBanner();
    }
    currentStage = 2;
    gameMode = playMode;
    modeInitPending = false;
    playState = Cleared;
    celebrationFrame = 0;
    for (int32_t frame = 0; frame < 60 && !modeInitPending; ++frame) {
        inputSnapshot.previousKeys = 0;
        inputSnapshot.currentKeys = frame == 12 ? static_cast<uint32_t>(InputKey::LeftButton) : 0u;
        UpdateCelebration();
    }
    EXPECT_TRUE(modeInitPending);
    EXPECT_EQ(gameMode, stageSelectMode);
    EXPECT_EQ(progress.clearedFlags[2], 1);
}

class SaveFaults : public ::testing::TestWithParam<Fault> {};
}  // namespace

TEST_P(SaveFaults, KeepTheOldFileAndSaySoInOneLine)
{
    TempDir dir;
    ScopedChdir inside(dir.path);
    WriteBytes(progressFileName, ProgressImage(1));
    LoadProgressFile();
    fault = GetParam();
    testing::internal::CaptureStderr();
    FinishCelebration();
    std::string reported = testing::internal::GetCapturedStderr();
    fault = Fault::None;
    const char* reasons[] = {"", "Read-only file system", "No space left on device", "No space left on device",
                             "Input/output error", "No space left on device", "Invalid cross-device link"};
    EXPECT_EQ(reported, std::string("tessera: cannot save hist.dat: ") + reasons[static_cast<int>(GetParam())] + "\n");
    EXPECT_EQ(ReadBytes(progressFileName), ProgressImage(1));
    EXPECT_EQ(DirectoryEntries("."), std::vector<std::string>{progressFileName});
    // The next save, once the fault is gone, writes every flag.
    EXPECT_TRUE(SaveProgressFile());
    std::string saved = ReadBytes(progressFileName);
    ASSERT_EQ(saved.size(), 24u);
    EXPECT_EQ(saved[4 + 2], 1);
    EXPECT_EQ(saved[4 + 12], 44);
}

INSTANTIATE_TEST_SUITE_P(EveryStep, SaveFaults,
                         ::testing::Values(Fault::Open, Fault::Write, Fault::Flush, Fault::Sync, Fault::Close,
                                           Fault::Rename));

TEST(StageLoad, AFileThatShrinksAfterItsSizeQueryFailsAsAShortFile)
{
    TempDir dir;
    StageFile stage = MakeStage(2, 1, {{{0, 0}, {1, 0}}});
    WriteStage(dir.file("st.dat"), stage);
    StageFile loaded{};
    char reason[160];
    shrunkReadBytes = 100;
    bool ok = ReadStageFile(dir.file("st.dat").c_str(), loaded, reason, sizeof reason);
    shrunkReadBytes = -1;
    EXPECT_FALSE(ok);
    EXPECT_STREQ(reason, "100 bytes read, not 16216");
    EXPECT_TRUE(ReadStageFile(dir.file("st.dat").c_str(), loaded, reason, sizeof reason)) << reason;
}

TEST(SaveOnRealFileSystems, AReadOnlyDirectoryAndAFullDiskKeepTheOldFile)
{
    TempDir dir;
    std::string mountPoint = dir.file("disk");
    mkdir(mountPoint.c_str(), 0755);
    // One page of space: the old file fills it, the new one finds the disk full.
    if (mount("tessera", mountPoint.c_str(), "tmpfs", 0, "size=4k") != 0) {
        GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
    }
    {
        ScopedChdir inside(mountPoint);
        WriteBytes(progressFileName, ProgressImage(1));
        LoadProgressFile();
        FinishCelebration();
        EXPECT_EQ(ReadBytes(progressFileName), ProgressImage(1));
    }
    ASSERT_EQ(mount("tessera", mountPoint.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=4k"), 0);
    {
        ScopedChdir inside(mountPoint);
        EXPECT_FALSE(SaveProgressFile());
        EXPECT_EQ(ReadBytes(progressFileName), ProgressImage(1));
    }
    umount(mountPoint.c_str());
}

TEST(SaveUnderKill, AKilledSaveLeavesTheOldOrTheNewFile)
{
    TempDir dir;
    ScopedChdir inside(dir.path);
    std::mt19937 random(11);
    int32_t oldSeen = 0;
    int32_t newSeen = 0;
    for (int32_t round = 0; round < 500; ++round) {
        std::string before = ProgressImage(static_cast<uint8_t>(round % 200));
        std::string after = ProgressImage(static_cast<uint8_t>(round % 200 + 1));
        WriteBytes(progressFileName, before);
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            std::memcpy(&progress, after.data(), sizeof progress);
            for (;;) SaveProgressFile();
        }
        usleep(std::uniform_int_distribution<useconds_t>(0, 3000)(random));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        std::string now = ReadBytes(progressFileName);
        ASSERT_TRUE(now == before || now == after) << "round " << round << ": " << now.size() << " bytes";
        (now == before ? oldSeen : newSeen)++;
    }
    // Both outcomes happen: the kills do land during saves.
    EXPECT_GT(oldSeen, 0);
    EXPECT_GT(newSeen, 0);
}
