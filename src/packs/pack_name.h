// What names a stage pack: its seed, as a player types it, as its folder is called, and today's.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Parses a pack's number as players type and share it: decimal digits only,
// leading zeros allowed, at most 4294967295. On a fault sets error to one
// plain line saying what is wrong (with the text, cut short when long).
bool ParsePackSeed(std::string_view text, uint32_t& seed, std::string& error);

// A value a player typed, quoted for a line that says what is wrong with it:
// cut short, with its length said, when it is long.
std::string QuotedValue(std::string_view text);

// The folder a pack lives in under the packs directory: its seed in decimal.
std::string PackFolderName(uint32_t seed);

// Today's pack: the date in UTC at unixSeconds, written as the number
// YYYYMMDD (2026-12-09 is pack 20261209). The same for every player on the
// same day, wherever they are.
uint32_t TodaysPackSeed(int64_t unixSeconds);

// The date of a today's-pack seed as YYYY-MM-DD, for the front ends to show.
std::string PackSeedDate(uint32_t seed);
