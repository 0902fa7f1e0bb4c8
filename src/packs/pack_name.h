// What names a stage pack: its level and seed, as a player types them, as its folder is called, and today's.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "authoring/stage_pack.h"

// One pack: the level and the seed it is made from.
struct PackId {
    PackLevel level = PackLevel::normal;
    uint32_t seed = 0;
    bool operator==(const PackId&) const = default;
};

// Parses a pack's number as players type and share it: decimal digits only,
// leading zeros allowed, at most 4294967295. On a fault sets error to one
// plain line saying what is wrong (with the text, cut short when long).
bool ParsePackSeed(std::string_view text, uint32_t& seed, std::string& error);

// A value a player typed, quoted for a line that says what is wrong with it:
// cut short, with its length said, when it is long.
std::string QuotedValue(std::string_view text);

// Parses a pack's name as players type and share it: 48213, hard-48213 or expert-48213,
// the number as ParsePackSeed reads it. On a fault sets error
// to one plain line.
bool ParsePackName(std::string_view text, PackId& pack, std::string& error);

// Parses a level a player chose: normal, hard or expert; else one plain line in error.
bool ParseLevelChoice(std::string_view text, PackLevel& level, std::string& error);

// The pack a player asks for by its name or as "today" (today's pack at
// unixSeconds), with the level they chose beside it (levelText, when they
// chose one): today and a plain number take the chosen level; a name with a
// level of its own must agree with it. On a fault error is one plain line.
bool ChoosePack(std::string_view text, const std::optional<std::string>& levelText, int64_t unixSeconds, PackId& pack,
                std::string& error);

// The pack's name, which is also its folder under the packs directory:
// 48213 (a normal pack's folder is its seed alone), hard-48213.
std::string PackFolderName(const PackId& pack);

// Today's pack: the date in UTC at unixSeconds, written as the number
// YYYYMMDD (2026-12-09 is pack 20261209). The same for every player on the
// same day, wherever they are.
uint32_t TodaysPackSeed(int64_t unixSeconds);

// The date of a today's-pack seed as YYYY-MM-DD, for the front ends to show.
std::string PackSeedDate(uint32_t seed);
