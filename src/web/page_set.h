// The stage set the page's address asks for: the shipped stages, a pack by its number or today's, or a bad link.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

struct PageSet {
    bool pack = false;   // a stage pack; otherwise the shipped stages
    uint32_t seed = 0;   // the pack's seed
    std::string label;   // what the page calls the set: "Shipped stages", "Pack 48213", "Today's pack (2026-12-09)"
    std::string note;    // one line for the player: what is wrong with the link, or that its stages differ
};

// The set for the address's pack value (none: the shipped stages) and the
// generator version a shared link carries. "today" names today's pack at
// unixSeconds. A bad pack or version value gives the shipped stages and one
// line saying what is wrong; a link from another generator version still
// opens its pack, with a line saying its stages differ from the sender's.
PageSet ChoosePageSet(const std::optional<std::string>& packText, const std::optional<std::string>& versionText,
                      int64_t unixSeconds);

// What the page calls the pack of seed: today's pack when the seed is today's.
std::string PackLabel(uint32_t seed, int64_t unixSeconds);
