// The pack store: packs made whole at once, mended from pack.txt or the seed, leftovers cleaned, levels, names and today's seed.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <filesystem>
#include <thread>

#include "authoring/stage_source.h"
#include "packs/making_lock.h"
#include "packs/pack_name.h"
#include "packs/pack_store.h"
#include "test_helpers.h"

namespace {
// A pack made of the shipped stages' sources, quickly: what the store does with
// a pack does not depend on how its stages were drawn.
std::vector<PackFile> ShippedPack(const PackId& pack)
{
    const uint32_t seed = pack.seed;
    std::vector<std::string> sources;
    for (const auto& entry : std::filesystem::directory_iterator(PROJECT_STAGES)) {
        std::string name = entry.path().filename().string();
        if (name.size() > 4 && std::isdigit(static_cast<unsigned char>(name[0])) && entry.path().extension() == ".txt") {
            sources.push_back(entry.path().string());
        }
    }
    std::sort(sources.begin(), sources.end());
    std::vector<PackFile> files;
    std::string text = "# Tessera stage pack " + PackFolderName(pack) + "\nseed " + std::to_string(seed) + "\n";
    if (pack.level != PackLevel::normal) text.append("level ").append(PackLevelName(pack.level)).append("\n");
    text += "generator 3\n";
    for (size_t i = 0; i < sources.size(); ++i) {
        std::string source = ReadBytes(sources[i]);
        StageSource parsed;
        std::string error;
        EXPECT_TRUE(ParseStageSource(source, sources[i].c_str(), parsed, error)) << error;
        StageFile stage = CompileStage(parsed);
        std::string name = "st" + std::to_string(i) + ".dat";
        files.push_back({name, std::string(reinterpret_cast<const char*>(&stage), sizeof stage)});
        text += "\n== " + name + "\n" + source;
    }
    files.push_back({packTextName, text});
    return files;
}

struct CountingMaker {
    std::atomic<int> calls{0};
    PackMaker maker()
    {
        return [this](const PackId& pack, std::vector<PackFile>& files, std::string&) {
            ++calls;
            files = ShippedPack(pack);
            return true;
        };
    }
};

// The normal pack of seed.
PackId Seed(uint32_t seed)
{
    return {PackLevel::normal, seed};
}

void ExpectWholePack(const std::string& directory, const PackId& pack)
{
    for (const PackFile& file : ShippedPack(pack)) {
        EXPECT_EQ(ReadBytes(directory + "/" + file.name), file.bytes) << file.name;
    }
}

std::vector<std::string> Leftovers(const std::string& packs)
{
    std::vector<std::string> names;
    for (const std::string& name : DirectoryEntries(packs)) {
        if (name.rfind(".making-", 0) == 0) names.push_back(name);
    }
    return names;
}
}  // namespace

TEST(PackStore, MakesAMissingPackWholeAtOnceAndThenOnlyOpensIt)
{
    TempDir data;
    std::string packs = data.file("packs");
    CountingMaker counting;
    PackOpening opening;
    std::string error;
    ASSERT_TRUE(OpenPack(packs, Seed(48213), counting.maker(), opening, error)) << error;
    EXPECT_EQ(opening.directory, packs + "/48213");
    EXPECT_TRUE(opening.made);
    ExpectWholePack(opening.directory, Seed(48213));
    EXPECT_EQ(DirectoryEntries(opening.directory).size(), 11u);
    EXPECT_TRUE(Leftovers(packs).empty());

    WriteBytes(opening.directory + "/hist.dat", "progress the store must keep");
    ASSERT_TRUE(OpenPack(packs, Seed(48213), counting.maker(), opening, error)) << error;
    EXPECT_FALSE(opening.made);
    EXPECT_TRUE(opening.notes.empty());
    EXPECT_EQ(counting.calls, 1);
    EXPECT_EQ(ReadBytes(opening.directory + "/hist.dat"), "progress the store must keep");
}

TEST(PackStore, MendsDamagedStagesFromPackTextAndKeepsProgressAndThePlayersOwnStage)
{
    TempDir data;
    std::string packs = data.file("packs");
    CountingMaker counting;
    PackOpening opening;
    std::string error;
    ASSERT_TRUE(OpenPack(packs, Seed(7), counting.maker(), opening, error)) << error;
    std::string pack = opening.directory;
    std::string own = ShippedPack(Seed(7))[9].bytes;  // a whole stage of the player's, in place of stage 1
    WriteBytes(pack + "/st0.dat", own);
    WriteBytes(pack + "/st3.dat", std::string(100, 'x'));
    std::string wrongMagic = ReadBytes(pack + "/st4.dat");
    wrongMagic[0] ^= 1;
    WriteBytes(pack + "/st4.dat", wrongMagic);
    std::filesystem::remove(pack + "/st5.dat");
    WriteBytes(data.file("elsewhere"), "not to be followed");
    std::filesystem::remove(pack + "/st6.dat");
    std::filesystem::create_symlink(data.file("elsewhere"), pack + "/st6.dat");
    WriteBytes(pack + "/hist.dat", "progress");

    ASSERT_TRUE(OpenPack(packs, Seed(7), counting.maker(), opening, error)) << error;
    EXPECT_EQ(counting.calls, 1) << "pack.txt was whole: the generator is not needed";
    ASSERT_EQ(opening.notes.size(), 4u);
    EXPECT_EQ(opening.notes[0], "pack 7: st3.dat was damaged (100 bytes, not 16216); made again from pack.txt");
    EXPECT_EQ(opening.notes[2], "pack 7: st5.dat was missing; made again from pack.txt");
    EXPECT_EQ(ReadBytes(pack + "/st0.dat"), own);
    EXPECT_EQ(ReadBytes(data.file("elsewhere")), "not to be followed");
    EXPECT_FALSE(IsLink(pack + "/st6.dat"));
    EXPECT_EQ(ReadBytes(pack + "/hist.dat"), "progress");
    WriteBytes(pack + "/st0.dat", ShippedPack(Seed(7))[0].bytes);
    ExpectWholePack(pack, Seed(7));

    // With pack.txt damaged too, the pack is made again from its seed.
    WriteBytes(pack + "/pack.txt", "seed 8\n");
    std::filesystem::remove(pack + "/st9.dat");
    ASSERT_TRUE(OpenPack(packs, Seed(7), counting.maker(), opening, error)) << error;
    EXPECT_EQ(counting.calls, 2);
    ASSERT_EQ(opening.notes.size(), 2u);
    EXPECT_EQ(opening.notes[0], "pack 7: st9.dat was missing; made again from the seed");
    EXPECT_EQ(opening.notes[1], "pack 7: pack.txt was damaged (pack.txt:1: not the pack of seed 7); made again from the seed");
    ExpectWholePack(pack, Seed(7));
    EXPECT_TRUE(Leftovers(packs).empty());
}

TEST(PackStore, RemovesOnlyTheLeftoversOfMakersThatAreGone)
{
    TempDir data;
    std::string packs = data.file("packs");
    std::filesystem::create_directories(packs + "/.making-3.killed");
    WriteBytes(packs + "/.making-3.killed/st0.dat", "half a pack");
    WriteBytes(packs + "/.making-3.killed/.owner", "");
    std::filesystem::create_directories(packs + "/.making-4.running");
    MakingLock running;
    ASSERT_TRUE(HoldMakingLock(packs + "/.making-4.running/.owner", running));
    std::filesystem::create_directories(packs + "/.making-5.starting");
    std::filesystem::create_directories(packs + "/.making-6.old");
    std::filesystem::last_write_time(packs + "/.making-6.old",
                                     std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
    std::filesystem::create_directories(packs + "/12");

    CountingMaker counting;
    PackOpening opening;
    std::string error;
    ASSERT_TRUE(OpenPack(packs, Seed(1), counting.maker(), opening, error)) << error;
    EXPECT_EQ(Leftovers(packs), (std::vector<std::string>{".making-4.running", ".making-5.starting"}));
    EXPECT_EQ(opening.notes.size(), 2u);
    EXPECT_TRUE(std::filesystem::exists(packs + "/12"));
    ReleaseMakingLock(running);
    ASSERT_TRUE(OpenPack(packs, Seed(1), counting.maker(), opening, error)) << error;
    EXPECT_EQ(Leftovers(packs), std::vector<std::string>{".making-5.starting"});
}

TEST(PackStore, TwoMakersOfOnePackAtOnceEndWithOneWholePack)
{
    TempDir data;
    std::string packs = data.file("packs");
    std::atomic<int> waiting{2};
    PackMaker slow = [&waiting](const PackId& pack, std::vector<PackFile>& files, std::string&) {
        --waiting;
        while (waiting > 0) std::this_thread::yield();  // both are making before either moves in
        files = ShippedPack(pack);
        return true;
    };
    bool opened[2] = {};
    std::string errors[2];
    std::vector<std::thread> makers;
    for (int i = 0; i < 2; ++i) {
        makers.emplace_back([&, i] {
            PackOpening opening;
            opened[i] = OpenPack(packs, Seed(99), slow, opening, errors[i]);
        });
    }
    for (std::thread& maker : makers) maker.join();
    EXPECT_TRUE(opened[0]) << errors[0];
    EXPECT_TRUE(opened[1]) << errors[1];
    ExpectWholePack(packs + "/99", Seed(99));
    EXPECT_EQ(DirectoryEntries(packs + "/99").size(), 11u);
    EXPECT_TRUE(Leftovers(packs).empty());
}

TEST(PackStore, SaysInOneLineWhenThePackCannotBeMade)
{
    TempDir data;
    WriteBytes(data.file("file"), "a file where the data directory should be");
    CountingMaker counting;
    PackOpening opening;
    std::string error;
    EXPECT_FALSE(OpenPack(data.file("file") + "/packs", Seed(1), counting.maker(), opening, error));
    EXPECT_EQ(error, data.file("file") + "/packs: cannot be made: Not a directory");

    PackMaker failing = [](const PackId&, std::vector<PackFile>&, std::string& why) {
        why = "pack 1: no stage 9 harder than the one before found in 16 tries";
        return false;
    };
    EXPECT_FALSE(OpenPack(data.file("packs"), Seed(1), failing, opening, error));
    EXPECT_EQ(error, "pack 1: no stage 9 harder than the one before found in 16 tries");
    EXPECT_EQ(DirectoryEntries(data.file("packs")).size(), 0u) << "a failed making leaves nothing behind";
    EXPECT_EQ(error.find('\n'), std::string::npos);
}

TEST(PackStore, ListsPacksWithTheirClearsAndDrawsNewSeedsNoPackHasHad)
{
    TempDir data;
    std::string packs = data.file("packs");
    CountingMaker counting;
    PackOpening opening;
    std::string error;
    for (uint32_t seed : {30u, 4u}) ASSERT_TRUE(OpenPack(packs, Seed(seed), counting.maker(), opening, error)) << error;
    ProgressFile cleared{progressFileMagic, {1, 0, 1, 0, 0, 0, 0, 0, 0, 1, 1}};  // flag 10 is no stage
    WriteBytes(packs + "/30/hist.dat", std::string(reinterpret_cast<const char*>(&cleared), sizeof cleared));
    WriteBytes(packs + "/4/hist.dat", "damaged");
    std::filesystem::create_directories(packs + "/007");  // not a pack's name
    std::filesystem::create_directories(packs + "/8");    // no pack.txt

    std::vector<PackSummary> listed = ListPacks(packs);
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0].pack, Seed(4));
    EXPECT_EQ(listed[0].cleared, 0);
    EXPECT_EQ(listed[1].pack, Seed(30));
    EXPECT_EQ(listed[1].cleared, 3);

    std::vector<uint32_t> draws = {4, 30, 8, 31};
    size_t next = 0;
    EXPECT_EQ(NewPackSeed(packs, PackLevel::normal, [&] { return draws[next++]; }), 31u);
}

TEST(PackStore, KeepsEachLevelOfASeedApartAndTakesNoPackTextOfAnotherLevel)
{
    TempDir data;
    std::string packs = data.file("packs");
    CountingMaker counting;
    PackOpening opening;
    std::string error;
    const PackId hard{PackLevel::hard, 5};
    ASSERT_TRUE(OpenPack(packs, {PackLevel::hard, 7}, counting.maker(), opening, error)) << error;
    ASSERT_TRUE(OpenPack(packs, hard, counting.maker(), opening, error)) << error;
    EXPECT_EQ(opening.directory, packs + "/hard-5");
    ExpectWholePack(opening.directory, hard);
    ASSERT_TRUE(OpenPack(packs, Seed(5), counting.maker(), opening, error)) << error;
    EXPECT_EQ(opening.directory, packs + "/5");
    EXPECT_TRUE(opening.made) << "the hard pack of seed 5 is not the normal one";
    ProgressFile cleared{progressFileMagic, {1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0}};
    WriteBytes(packs + "/hard-5/hist.dat", std::string(reinterpret_cast<const char*>(&cleared), sizeof cleared));
    std::filesystem::create_directories(packs + "/hard-05");  // not a pack's name
    WriteBytes(packs + "/hard-05/pack.txt", ShippedPack(hard).back().bytes);

    std::vector<PackSummary> listed = ListPacks(packs);
    ASSERT_EQ(listed.size(), 3u);
    EXPECT_EQ(listed[0].pack, Seed(5));
    EXPECT_EQ(listed[0].cleared, 0);
    EXPECT_EQ(listed[1].pack, hard);
    EXPECT_EQ(listed[1].cleared, 2);
    EXPECT_EQ(listed[2].pack, (PackId{PackLevel::hard, 7}));
    std::vector<uint32_t> draws = {5, 7, 9, 5, 7};
    size_t next = 0;
    EXPECT_EQ(NewPackSeed(packs, PackLevel::hard, [&] { return draws[next++]; }), 9u);
    EXPECT_EQ(NewPackSeed(packs, PackLevel::normal, [&] { return draws[next++]; }), 7u);

    // A normal pack's pack.txt in the hard pack's folder, and a hard one's in the normal pack's: neither is
    // trusted to mend, and each pack is made again from its own level and seed.
    std::string normalText = ReadBytes(packs + "/5/pack.txt");
    WriteBytes(packs + "/5/pack.txt", ReadBytes(packs + "/hard-5/pack.txt"));
    WriteBytes(packs + "/hard-5/pack.txt", normalText);
    std::filesystem::remove(packs + "/hard-5/st2.dat");
    ASSERT_TRUE(OpenPack(packs, hard, counting.maker(), opening, error)) << error;
    ASSERT_EQ(opening.notes.size(), 2u);
    EXPECT_EQ(opening.notes[0], "pack hard-5: st2.dat was missing; made again from the seed");
    EXPECT_EQ(opening.notes[1], "pack hard-5: pack.txt was damaged (pack.txt: a normal pack, not hard); made again from the seed");
    ExpectWholePack(packs + "/hard-5", hard);
    EXPECT_EQ(ReadBytes(packs + "/hard-5/hist.dat").size(), sizeof cleared);
    ASSERT_TRUE(OpenPack(packs, Seed(5), counting.maker(), opening, error)) << error;
    ASSERT_EQ(opening.notes.size(), 1u);
    EXPECT_EQ(opening.notes[0], "pack 5: pack.txt was damaged (pack.txt:3: a hard pack, not normal); made again from the seed");
    ExpectWholePack(packs + "/5", Seed(5));
}

TEST(PackNames, ReadLevelsAndSeedsAsPlayersTypeThemAndRefuseADisagreeingLevel)
{
    PackId pack;
    std::string error;
    EXPECT_TRUE(ParsePackName("0048213", pack, error));
    EXPECT_EQ(pack, Seed(48213));
    EXPECT_TRUE(ParsePackName("hard-0048213", pack, error));
    EXPECT_EQ(pack, (PackId{PackLevel::hard, 48213}));
    EXPECT_TRUE(ParsePackName("hard-4294967295", pack, error));
    EXPECT_EQ(PackFolderName(pack), "hard-4294967295");
    EXPECT_EQ(PackFolderName(Seed(48213)), "48213");
    for (const std::string& bad : std::vector<std::string>{"normal-5", "Hard-5", "hard-", "hard--5", "-5", "hard5",
                                                           "hard-5x", "hard-4294967296", " hard-5", "easy-5", "master-5",
                                                           "hard-" + std::string(10000, '9')}) {
        EXPECT_FALSE(ParsePackName(bad, pack, error)) << bad;
        EXPECT_LT(error.size(), 120u) << error;
    }
    EXPECT_EQ(error, "a pack is N, hard-N or expert-N with N from 0 to 4294967295, not 'hard-9999999999999999999...' (10005 characters)");

    // A chosen level: today and a plain number take it; a name's own level must agree with it.
    const int64_t december9th2026 = 1796774400;
    EXPECT_TRUE(ChoosePack("today", std::string("hard"), december9th2026, pack, error));
    EXPECT_EQ(pack, (PackId{PackLevel::hard, 20261209}));
    EXPECT_TRUE(ChoosePack("today", std::nullopt, december9th2026, pack, error));
    EXPECT_EQ(pack, Seed(20261209));
    EXPECT_TRUE(ChoosePack("48213", std::string("hard"), december9th2026, pack, error));
    EXPECT_EQ(pack, (PackId{PackLevel::hard, 48213}));
    EXPECT_TRUE(ChoosePack("hard-48213", std::string("hard"), december9th2026, pack, error));
    EXPECT_TRUE(ChoosePack("hard-48213", std::nullopt, december9th2026, pack, error));
    EXPECT_EQ(pack, (PackId{PackLevel::hard, 48213}));
    EXPECT_FALSE(ChoosePack("hard-48213", std::string("normal"), december9th2026, pack, error));
    EXPECT_EQ(error, "pack hard-48213 is hard, not normal");
    EXPECT_FALSE(ChoosePack("today", std::string("Hard"), december9th2026, pack, error));
    EXPECT_EQ(error, "a level is normal, hard or expert, not 'Hard'");
}

TEST(PackNames, ReadSeedsAsPlayersTypeThemAndRefuseAnythingElseInOneShortLine)
{
    uint32_t seed = 0;
    std::string error;
    EXPECT_TRUE(ParsePackSeed("0048213", seed, error));
    EXPECT_EQ(seed, 48213u);
    EXPECT_TRUE(ParsePackSeed("4294967295", seed, error));
    EXPECT_EQ(seed, 4294967295u);
    for (const std::string& bad : std::vector<std::string>{"-1", "abc", "4294967296", "", "1 ", "+1", "0x10", std::string(10000, '9')}) {
        EXPECT_FALSE(ParsePackSeed(bad, seed, error)) << bad;
        EXPECT_LT(error.size(), 100u) << error;
    }
    EXPECT_EQ(error, "a pack is a number from 0 to 4294967295, not '999999999999999999999999...' (10000 characters)");
}

TEST(PackNames, TodaysSeedIsTheDateInUtc)
{
    constexpr int64_t day = 86400;
    const int64_t december9th2026 = 1796774400;
    EXPECT_EQ(TodaysPackSeed(december9th2026), 20261209u);
    EXPECT_EQ(TodaysPackSeed(december9th2026 + day - 1), 20261209u);
    EXPECT_EQ(TodaysPackSeed(december9th2026 - 1), 20261208u);
    EXPECT_EQ(TodaysPackSeed(0), 19700101u);
    EXPECT_EQ(TodaysPackSeed(951782400), 20000229u);  // a leap day of a century's leap year
    EXPECT_EQ(TodaysPackSeed(4107542400), 21000301u);  // 2100 has no 29 February
    EXPECT_EQ(PackSeedDate(20261209), "2026-12-09");
}
