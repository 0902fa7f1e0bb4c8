// The page's files: the shipped stages and each pack in their directories, kept in the browser's storage.
#pragma once

#include <string>

// The shipped stages and their progress, where the page has always kept them.
constexpr char webGameDirectory[] = "/game";
// The stage packs: a folder for each, as the pack store lays them out.
constexpr char webPacksDirectory[] = "/packs";

// Mounts the browser's storage on both directories and loads what they hold;
// calls tessera_files_ready when done. With keep false they are plain memory
// (tests: every run starts without progress).
void OpenStorage(bool keep);

// Puts the shipped stages (built into the page) in the game's directory.
void PlaceStages();

// The game plays in directory (the shipped stages' or a pack's folder) from
// now on: the page enters it, and takes other tabs' clears into its hist.dat.
// False when it cannot be entered.
bool PlayIn(const std::string& directory);

// Writes folder (one of the two directories, or a folder inside the packs
// directory) back to the browser's storage, alone: other tabs' folders stay
// as they stored them. One store of a folder at a time; a store asked for
// during one follows it. The page's tesseraFolderStored hears of each.
void KeepFolder(const std::string& folder);

// After a save: the game's directory back to the browser's storage, and the
// other tabs told.
void KeepGameFiles(const char* name);

// How many stages the game's directory's hist.dat marks cleared.
int ClearedInGameDirectory();
