// The shipped stages copied into the player's directory, each only where the player has no file of that name.
#pragma once

#include <string>

// Makes the directory if needed and copies in st0.dat ... st9.dat from the
// shipped directory. A name that exists in any form (a file, a directory, a
// link, the player's own stage) is left as it is. False, with the reason, when
// the directory cannot be made or a stage cannot be copied; the other stages
// are still copied.
bool CopyShippedStages(const std::wstring& shipped, const std::wstring& player, std::string& reason);
