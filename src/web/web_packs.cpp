// OpenPagePack and the page's calls on the pack store: the worker's files handed in, packs made ahead, new seeds.
#include "web/web_packs.h"

#include <emscripten/emscripten.h>

#include <cstdio>
#include <ctime>
#include <random>
#include <vector>

#include "authoring/stage_pack.h"
#include "packs/pack_name.h"
#include "packs/pack_store.h"
#include "web/web_files.h"

namespace {
// The files the worker made for one seed, handed over by the page.
uint32_t handedSeed = 0;
std::vector<PackFile> handedFiles;

std::string PacksDirectory()
{
    return webPacksDirectory;
}

bool HandedFiles(uint32_t seed, std::vector<PackFile>& files, std::string& error)
{
    if (handedFiles.empty() || handedSeed != seed) {
        error = "the pack's files are not made yet";
        return false;
    }
    files = handedFiles;
    return true;
}
}  // namespace

PackOpened OpenPagePack(uint32_t seed, std::string& directory, std::string& error)
{
    bool asked = false;
    PackMaker maker = [&asked](uint32_t packSeed, std::vector<PackFile>& files, std::string& why) {
        if (HandedFiles(packSeed, files, why)) return true;
        asked = true;
        return false;
    };
    PackOpening opening;
    bool whole = OpenPack(PacksDirectory(), seed, maker, opening, error);
    for (const std::string& note : opening.notes) std::fprintf(stderr, "tessera: %s\n", note.c_str());
    if (!whole) return asked ? PackOpened::NeedsMaking : PackOpened::Failed;
    handedFiles.clear();
    directory = opening.directory;
    KeepFolder(directory);
    return PackOpened::Whole;
}

extern "C" {
// One file the worker made for the pack of seed; a file for another seed starts the handing over anew.
EMSCRIPTEN_KEEPALIVE void tessera_hand_file(uint32_t seed, const char* name, const uint8_t* bytes, int size)
{
    if (handedSeed != seed) handedFiles.clear();
    handedSeed = seed;
    handedFiles.push_back({name, std::string(reinterpret_cast<const char*>(bytes), static_cast<size_t>(size))});
}

// Stores the pack of seed made ahead, with the files handed over: 1 when it
// is whole (the page hears tesseraFolderStored for its folder), 0 when not.
EMSCRIPTEN_KEEPALIVE int tessera_store_pack(uint32_t seed)
{
    std::string directory;
    std::string error;
    if (OpenPagePack(seed, directory, error) == PackOpened::Whole) return 1;
    std::fprintf(stderr, "tessera: pack %u cannot be stored: %s\n", seed, error.c_str());
    return 0;
}

// Whether the pack of seed is stored in this tab's view of the packs directory.
EMSCRIPTEN_KEEPALIVE int tessera_pack_stored(uint32_t seed)
{
    for (const PackSummary& pack : ListPacks(PacksDirectory())) {
        if (pack.seed == seed) return 1;
    }
    return 0;
}

// A seed no stored pack has had, for the next "New stages".
EMSCRIPTEN_KEEPALIVE uint32_t tessera_new_pack_seed()
{
    std::random_device entropy;
    return NewPackSeed(PacksDirectory(), [&entropy]() { return static_cast<uint32_t>(entropy()); });
}

// The generator's version, which a shared link carries.
EMSCRIPTEN_KEEPALIVE int tessera_pack_generator_version()
{
    return packGeneratorVersion;
}
}

extern "C" {
// The rule beside "Today's pack", with today's date and its pack.
EMSCRIPTEN_KEEPALIVE const char* tessera_todays_rule()
{
    static std::string rule;
    uint32_t seed = TodaysPackSeed(static_cast<int64_t>(std::time(nullptr)));
    rule = "Today's date in UTC names the pack, as YYYYMMDD: today, " + PackSeedDate(seed) + ", is pack " +
           PackFolderName(seed) + ".";
    return rule.c_str();
}
}
