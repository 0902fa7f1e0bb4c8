// A pack's eleven files as bytes: made from its level and seed, or its stages made again from its pack.txt.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "game/data_files.h"
#include "packs/pack_name.h"

constexpr char packTextName[] = "pack.txt";

// A pack's stage file name: st0.dat ... st9.dat.
std::string PackStageName(int32_t stage);

struct PackFile {
    std::string name;   // st0.dat ... st9.dat or pack.txt
    std::string bytes;
};

// Makes the pack with the generator: st0.dat ... st9.dat, then pack.txt,
// byte for byte what `tessera-stages pack` writes for its seed and level.
// onStage (when set) is told each stage, 0 to 9, before it is made. jobs
// threads; the bytes are the same for every value. False with error when the
// pack cannot be made.
bool MakePackFiles(const PackId& pack, int32_t jobs, const std::function<void(int32_t)>& onStage,
                   std::vector<PackFile>& files, std::string& error);

// The ten stage files compiled again from a pack.txt of the pack. False with
// error when the text is not a whole pack.txt of that seed and level (one
// without a level line is a normal pack's).
bool StagesFromPackText(const std::string& text, const PackId& pack, std::vector<PackFile>& compiled,
                        std::string& error);

// Why the bytes are no playable stage file ("100 bytes, not 16216", "wrong
// magic", or what the game's own check says), or empty when they are one.
std::string StageFileFault(const std::string& bytes);
