// The page's files: the shipped stages in the game's directory, hist.dat kept in the browser's storage.
#pragma once

// The game's working directory in the page's file system.
constexpr char webGameDirectory[] = "/game";

// Mounts the browser's storage on the game's directory and loads what it
// holds; calls tessera_files_ready when done. With keep false the directory
// is plain memory (tests: every run starts without progress).
void OpenGameDirectory(bool keep);

// Puts the shipped stages (built into the page) in the game's directory and enters it.
void PlaceStages();

// After a save: writes the directory back to the browser's storage, one
// sync at a time; a save during a sync is synced after it.
void KeepGameFiles(const char* name);
