// Where the game runs: the working directory with its stages, or the player's own directory of an installed game.
#pragma once

#include <string>

// The installed game keeps the shipped stages here, beside tessera.exe.
constexpr wchar_t shippedStagesFolder[] = L"stages";
// The player's directory of an installed game, inside the local application data.
constexpr wchar_t playerFolder[] = L"Tessera";

struct DataDirectories {
    std::wstring working;       // the directory the game was started in
    std::wstring program;       // the directory of tessera.exe
    std::wstring localAppData;  // empty when the system names none
};

// The working directory when st0.dat is there; else, when the game runs from
// its installed place (stages\st0.dat beside the exe), the player's directory
// in the local application data; else the working directory.
std::wstring ChooseDataDirectory(const DataDirectories& places);

// Makes the chosen directory the working directory, first making the player's
// directory and copying in the shipped stages it does not hold. What failed is
// said on stderr; the game then runs where it can, and a stage it cannot read
// shows its box.
void EnterDataDirectory();
