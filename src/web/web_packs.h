// The page's stage packs: opened through the pack store with the files the page's worker makes.
#pragma once

#include <string>

#include "packs/pack_name.h"

enum class PackOpened { Whole, NeedsMaking, Failed };

// Makes sure the pack is whole under the packs directory, with the files
// handed to tessera_hand_file for it when the store has to make it (or make
// a stage again that its pack.txt cannot), and stores its folder.
// NeedsMaking: the store needs the worker's files first. Failed: error says why.
PackOpened OpenPagePack(const PackId& pack, std::string& directory, std::string& error);
