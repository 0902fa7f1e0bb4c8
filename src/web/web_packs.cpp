// OpenPagePack and the page's calls on the pack store: the worker's files handed in, packs made ahead, names and levels.
#include "web/web_packs.h"

#include <emscripten/emscripten.h>

#include <cstdio>
#include <ctime>
#include <iterator>
#include <random>
#include <vector>

#include "authoring/stage_pack.h"
#include "packs/pack_store.h"
#include "web/web_files.h"

namespace {
// The files the worker made for one pack, handed over by the page.
PackId handedPack;
std::vector<PackFile> handedFiles;

std::string PacksDirectory()
{
    return webPacksDirectory;
}

bool HandedFiles(const PackId& pack, std::vector<PackFile>& files, std::string& error)
{
    if (handedFiles.empty() || !(handedPack == pack)) {
        error = "the pack's files are not made yet";
        return false;
    }
    files = handedFiles;
    return true;
}

// A pack's name as the page hands it over: only a name as the store writes it.
bool PageNamesPack(const char* name, PackId& pack)
{
    std::string error;
    return ParsePackName(name, pack, error) && PackFolderName(pack) == name;
}

// A string the page reads before its next call here.
const char* Answer(std::string text)
{
    static std::string answer;
    answer = std::move(text);
    return answer.c_str();
}
}  // namespace

PackOpened OpenPagePack(const PackId& pack, std::string& directory, std::string& error)
{
    bool asked = false;
    PackMaker maker = [&asked](const PackId& made, std::vector<PackFile>& files, std::string& why) {
        if (HandedFiles(made, files, why)) return true;
        asked = true;
        return false;
    };
    PackOpening opening;
    bool whole = OpenPack(PacksDirectory(), pack, maker, opening, error);
    for (const std::string& note : opening.notes) std::fprintf(stderr, "tessera: %s\n", note.c_str());
    if (!whole) return asked ? PackOpened::NeedsMaking : PackOpened::Failed;
    handedFiles.clear();
    directory = opening.directory;
    KeepFolder(directory);
    return PackOpened::Whole;
}

extern "C" {
// One file the worker made for the pack named; a file for another pack starts the handing over anew.
EMSCRIPTEN_KEEPALIVE void tessera_hand_file(const char* pack, const char* name, const uint8_t* bytes, int size)
{
    PackId id;
    if (!PageNamesPack(pack, id)) return;
    if (!(handedPack == id)) handedFiles.clear();
    handedPack = id;
    handedFiles.push_back({name, std::string(reinterpret_cast<const char*>(bytes), static_cast<size_t>(size))});
}

// Stores the pack named, made ahead, with the files handed over: 1 when it
// is whole (the page hears tesseraFolderStored for its folder), 0 when not.
EMSCRIPTEN_KEEPALIVE int tessera_store_pack(const char* pack)
{
    PackId id;
    std::string directory;
    std::string error = "not a pack's name";
    if (PageNamesPack(pack, id) && OpenPagePack(id, directory, error) == PackOpened::Whole) return 1;
    std::fprintf(stderr, "tessera: pack %s cannot be stored: %s\n", pack, error.c_str());
    return 0;
}

// Whether the pack named is stored in this tab's view of the packs directory.
EMSCRIPTEN_KEEPALIVE int tessera_pack_stored(const char* pack)
{
    PackId id;
    if (!PageNamesPack(pack, id)) return 0;
    for (const PackSummary& stored : ListPacks(PacksDirectory())) {
        if (stored.pack == id) return 1;
    }
    return 0;
}

// The name of a pack of level whose seed no stored pack of that level has
// had, for the next "New stages"; empty when level is none.
EMSCRIPTEN_KEEPALIVE const char* tessera_new_pack_name(const char* level)
{
    PackId pack;
    std::string error;
    if (!ParseLevelChoice(level, pack.level, error)) return "";
    std::random_device entropy;
    pack.seed = NewPackSeed(PacksDirectory(), pack.level, [&entropy]() { return static_cast<uint32_t>(entropy()); });
    return Answer(PackFolderName(pack));
}

// The level of the pack named, or empty when the text is no pack's name as the store writes it.
EMSCRIPTEN_KEEPALIVE const char* tessera_pack_level_of(const char* pack)
{
    PackId id;
    return PageNamesPack(pack, id) ? PackLevelName(id.level) : "";
}

// The levels a pack can have, in order from the easiest: the index-th, or empty past the last.
EMSCRIPTEN_KEEPALIVE const char* tessera_pack_level(int index)
{
    if (index < 0 || static_cast<size_t>(index) >= std::size(packLevels)) return "";
    return PackLevelName(packLevels[index]);
}

// The generator's version, which a shared link carries.
EMSCRIPTEN_KEEPALIVE int tessera_pack_generator_version()
{
    return packGeneratorVersion;
}

// The rule beside "Today's pack", with today's date and its pack of level.
EMSCRIPTEN_KEEPALIVE const char* tessera_todays_rule(const char* level)
{
    PackId pack{PackLevel::normal, TodaysPackSeed(static_cast<int64_t>(std::time(nullptr)))};
    std::string error;
    ParseLevelChoice(level, pack.level, error);
    return Answer("Today's date in UTC names the pack, as YYYYMMDD: today, " + PackSeedDate(pack.seed) + ", is pack " +
                  PackFolderName(pack) + ".");
}
}
