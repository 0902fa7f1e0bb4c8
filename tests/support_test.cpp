// Support routines: the generator's exact sequence, the format ring, file helpers, the input snapshot, user paths, cache memory.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "support/cache_memory.h"
#include "support/file_io.h"
#include "support/format_ring.h"
#include "support/input_snapshot.h"
#include "support/random.h"
#include "support/working_directory.h"
#include "test_helpers.h"

TEST(Random, FollowsTheFixedSequenceFromASeed)
{
    SeedRandom(1);
    const int32_t expected[] = {130, 10982, 1090, 11656, 7117};
    for (int32_t value : expected) EXPECT_EQ(NextRandom(), value);
    SeedRandom(0);
    EXPECT_EQ(NextRandom(), 346);
    for (int i = 0; i < 100000; ++i) {
        int32_t value = NextRandom();
        ASSERT_GE(value, 0);
        ASSERT_LE(value, 32767);
    }
}

TEST(FormatRing, SeventeenthCallReusesTheFirstBufferOnly)
{
    const char* results[17];
    for (int i = 0; i < 17; ++i) results[i] = FormatText("Stage %d", i);
    EXPECT_EQ(results[16], results[0]);
    EXPECT_STREQ(results[0], "Stage 16");
    for (int i = 1; i < 16; ++i) EXPECT_STREQ(results[i], (std::string("Stage ") + std::to_string(i)).c_str());
}

TEST(FormatRing, CutsTextsLongerThanItsBuffer)
{
    std::string longText(500, 'x');
    const char* result = FormatText("%s", longText.c_str());
    EXPECT_EQ(std::strlen(result), static_cast<size_t>(formatBufferSize - 1));
}

TEST(FileIo, ReadsWhatIsThereAndNothingFromMissingFiles)
{
    TempDir dir;
    WriteBytes(dir.file("ten"), "0123456789");
    char buffer[24];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(ReadFileBytes(dir.file("ten").c_str(), buffer, 24), 10);
    EXPECT_EQ(buffer[10], '#');
    EXPECT_EQ(ReadFileBytes(dir.file("missing").c_str(), buffer, 24), 0);
    EXPECT_EQ(QueryFileSize(dir.file("ten").c_str()), 10);
    EXPECT_EQ(QueryFileSize(dir.file("missing").c_str()), 0);
    WriteBytes(dir.file("empty"), "");
    EXPECT_EQ(QueryFileSize(dir.file("empty").c_str()), 0);
    EXPECT_EQ(QueryFileSize(dir.path.c_str()), 0);
}

TEST(InputSnapshot, AButtonCountsAsPressedOnlyOnTheFrameItWentDown)
{
    inputSnapshot = {};
    ResetHeldKeys();
    PressKeys(InputKey::LeftButton);
    TakeInputSnapshot();
    EXPECT_EQ(inputSnapshot.previousKeys, 0u);
    EXPECT_EQ(PressedKeys(), static_cast<uint32_t>(InputKey::LeftButton));
    PressKeys(InputKey::LeftButton);  // a repeat of a held key is no new press
    TakeInputSnapshot();
    EXPECT_EQ(PressedKeys(), 0u);
    SetHeldKeys(InputKey::LeftButton | InputKey::RightButton | InputKey::Shift | 0x1000u);
    TakeInputSnapshot();
    EXPECT_EQ(PressedKeys(), static_cast<uint32_t>(InputKey::RightButton | InputKey::Shift));
    EXPECT_EQ(inputSnapshot.currentKeys & ~0xFFFu, 0u);
    ResetHeldKeys();
}

TEST(InputSnapshot, APressAndReleaseBetweenTwoSnapshotsIsSeenOnceAndReleasedAFrameLater)
{
    inputSnapshot = {};
    ResetHeldKeys();
    TakeInputSnapshot();
    PressKeys(InputKey::LeftButton);
    ReleaseKeys(InputKey::LeftButton);
    TakeInputSnapshot();
    EXPECT_EQ(PressedKeys(), static_cast<uint32_t>(InputKey::LeftButton));
    TakeInputSnapshot();
    EXPECT_EQ(inputSnapshot.currentKeys, 0u);
    // Two quick taps within one frame are one press; a press that spans a
    // snapshot reads as it always did, down until the snapshot after its release.
    for (int tap = 0; tap < 2; ++tap) {
        PressKeys(InputKey::RightButton);
        ReleaseKeys(InputKey::RightButton);
    }
    PressKeys(InputKey::LeftButton);
    TakeInputSnapshot();
    EXPECT_EQ(PressedKeys(), static_cast<uint32_t>(InputKey::LeftButton | InputKey::RightButton));
    TakeInputSnapshot();
    EXPECT_EQ(inputSnapshot.currentKeys, static_cast<uint32_t>(InputKey::LeftButton));
    ReleaseKeys(InputKey::LeftButton);
    TakeInputSnapshot();
    EXPECT_EQ(inputSnapshot.currentKeys, 0u);
    // Forgetting the held keys (a replay starts) forgets the latch too.
    PressKeys(InputKey::Escape);
    ResetHeldKeys();
    TakeInputSnapshot();
    EXPECT_EQ(inputSnapshot.currentKeys, 0u);
}

TEST(InputSnapshot, WheelTurnsAddUpPerFrameAndMousePositionsAreSixteenBits)
{
    inputSnapshot = {};
    RecordMouseWheel(120);
    RecordMouseWheel(120);
    RecordMouseWheel(-120);
    TakeInputSnapshot();
    EXPECT_EQ(inputSnapshot.wheelDelta, 120);
    TakeInputSnapshot();
    EXPECT_EQ(inputSnapshot.wheelDelta, 0);
    RecordMouseMove(-1, 70000);
    EXPECT_EQ(inputSnapshot.mouseX, 65535);
    EXPECT_EQ(inputSnapshot.mouseY, 70000 - 65536);
    TakeInputSnapshot();
    EXPECT_EQ(inputSnapshot.mouseX, 65535);
}

TEST(UserPaths, RelativePathsAreJoinedToTheStartingDirectoryUnderEachSystemsRules)
{
    struct Case {
        PathRules rules;
        const char* start;
        const char* path;
        const char* seen;
    };
    const Case cases[] = {
        {PathRules::Posix, "/home/ann/run", "x.png", "/home/ann/run/x.png"},
        {PathRules::Posix, "/home/ann/run", "../shots/x.png", "/home/ann/run/../shots/x.png"},
        {PathRules::Posix, "/", "x.png", "/x.png"},
        {PathRules::Posix, "/home/ann", "/tmp/x.png", "/tmp/x.png"},
        {PathRules::Posix, "/home/ann", "-", "-"},
        {PathRules::Posix, "", "x.png", "x.png"},
        {PathRules::Windows, "C:\\Users\\ann", "x.png", "C:\\Users\\ann\\x.png"},
        {PathRules::Windows, "C:\\", "shots/x.png", "C:\\shots/x.png"},
        {PathRules::Windows, "C:\\Users\\ann", "D:\\x.png", "D:\\x.png"},
        {PathRules::Windows, "C:\\Users\\ann", "d:x.png", "d:x.png"},
        {PathRules::Windows, "C:\\Users\\ann", "\\x.png", "C:\\x.png"},
        {PathRules::Windows, "C:\\Users\\ann", "/x.png", "C:/x.png"},
        {PathRules::Windows, "\\\\server\\share\\ann", "\\x.png", "\\\\server\\share\\x.png"},
        {PathRules::Windows, "\\\\server\\share\\ann", "x.png", "\\\\server\\share\\ann\\x.png"},
        {PathRules::Windows, "C:\\Users\\ann", "\\\\server\\share\\x.png", "\\\\server\\share\\x.png"},
        {PathRules::Windows, "C:\\Users\\ann", "-", "-"},
        {PathRules::Windows, "C:\\Users\\ann", "NUL", "NUL"},
        {PathRules::Windows, "C:\\Users\\ann", "con.png", "con.png"},
        {PathRules::Windows, "C:\\Users\\ann", "COM3", "COM3"},
        {PathRules::Windows, "C:\\Users\\ann", "COM0.png", "C:\\Users\\ann\\COM0.png"},
        {PathRules::Windows, "C:\\Users\\ann", "console.png", "C:\\Users\\ann\\console.png"},
        {PathRules::Windows, "C:\\Users\\ann", "shots\\nul", "C:\\Users\\ann\\shots\\nul"},
    };
    for (const Case& c : cases) EXPECT_EQ(PathSeenFrom(c.start, c.path, c.rules), c.seen) << c.start << " + " << c.path;
}

TEST(UserPaths, APathFromTheStartStaysTheSameUntilTheProgramMoves)
{
    EXPECT_EQ(PathFromStart("x.png"), "x.png");
    std::string start = std::filesystem::current_path();
    TempDir elsewhere;
    ScopedChdir inside(elsewhere.path);
    EXPECT_EQ(PathFromStart("x.png"), start + "/x.png");
    EXPECT_EQ(PathFromStart("/tmp/x.png"), "/tmp/x.png");
    EXPECT_EQ(PathFromStart("-"), "-");
}

TEST(CacheMemory, BlocksOfEverySizeAreZeroAndWritableToTheirLastByteAndTablesKeepWhatTheyHoldAsTheyGrow)
{
    // Either side of where blocks are mapped on their own, and across huge pages' bounds.
    for (size_t bytes : {size_t{1}, size_t{4096}, size_t{65535}, size_t{65536}, size_t{3} << 20, (size_t{4} << 20) + 1}) {
        auto* block = static_cast<unsigned char*>(AllocateCacheMemory(bytes));
        ASSERT_NE(block, nullptr) << bytes;
        EXPECT_EQ(reinterpret_cast<uintptr_t>(block) % alignof(std::max_align_t), 0u) << bytes;
        EXPECT_EQ(block[0], 0) << bytes;
        EXPECT_EQ(block[bytes / 2], 0) << bytes;
        EXPECT_EQ(block[bytes - 1], 0) << bytes;
        block[0] = block[bytes - 1] = 0xA5;
        FreeCacheMemory(block, bytes);
    }
    std::vector<uint64_t, CacheAllocator<uint64_t>> table;
    for (uint64_t i = 0; i < (uint64_t{1} << 20); ++i) table.push_back(i * 7);
    for (uint64_t i = 0; i < table.size(); i += 4099) ASSERT_EQ(table[i], i * 7);
}
