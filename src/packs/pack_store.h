// The pack store: stage packs under a packs directory, made whole on first use, mended, listed and chosen.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "packs/pack_files.h"
#include "packs/pack_name.h"

// Under a front end's data directory, each pack has a folder packs/NAME
// (PackFolderName: 48213, hard-48213).
constexpr char packsFolderName[] = "packs";

// Makes the pack's files when the store needs them: the generator natively,
// the page's worker in the browser. False with error when it cannot.
using PackMaker = std::function<bool(const PackId& pack, std::vector<PackFile>& files, std::string& error)>;

struct PackOpening {
    std::string directory;           // the pack's folder, to start the game in
    bool made = false;               // the folder was made now
    std::vector<std::string> notes;  // one line each for stderr: what was mended, what was cleaned away
};

// Makes sure the pack is whole in packsDirectory/NAME and says where:
// - a pack not there yet is made (by maker) in a folder .making-NAME.* of its
//   own and moved into place at once, so no one ever sees half a pack;
// - a stage file that is missing, damaged (wrong size, magic or limits) or not
//   a regular file is made again from pack.txt, or with maker when pack.txt is
//   damaged or of another pack too, and replaced atomically; each mend adds a note;
// - the pack's hist.dat, and any file the store did not make, is never touched;
// - .making-* folders of makers that are no longer running are removed.
// Two makers of one pack at once end with one whole pack. packsDirectory is
// made when missing. False with one line in error when the pack cannot be
// made whole (a directory that cannot be written, a maker that fails).
bool OpenPack(const std::string& packsDirectory, const PackId& pack, const PackMaker& maker, PackOpening& opening,
              std::string& error);

struct PackSummary {
    PackId pack;
    int32_t cleared = 0;  // stages 1 to 10 that the pack's hist.dat marks cleared
};

// The packs made so far (folders named as packs that hold a pack.txt): the
// normal ones, then hard ones, then expert ones, each in the order of their seeds.
std::vector<PackSummary> ListPacks(const std::string& packsDirectory);

// How many of the ten stages a hist.dat marks cleared; a damaged or missing one clears none.
int32_t ClearedStages(const std::string& progressPath);

// A seed that no pack of level in packsDirectory has had, drawn from entropy until one is free.
uint32_t NewPackSeed(const std::string& packsDirectory, PackLevel level, const std::function<uint32_t()>& entropy);
