// The stage set the page's address asks for: the shipped stages, a pack by its name or today's, or a bad link.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "packs/pack_name.h"

struct PageSet {
    bool pack = false;         // a stage pack; otherwise the shipped stages
    PackId id;                 // the pack's level and seed
    std::string name;          // the pack's name, as its address and a shared link carry it: "hard-48213"
    std::string label;         // what the page calls the set: "Shipped stages", "Pack hard-48213", "Today's pack (2026-12-09)"
    std::string note;          // one line for the player: what is wrong with the link, or that its stages differ
    std::string chosenLevel;   // the level the page offers for new packs: the pack's, or the address's; else empty
};

// The set for the address's pack value (none: the shipped stages), the level
// chosen beside it and the generator version a shared link carries. The
// pack and the level are read by ChoosePack's rules ("today" names today's
// pack at unixSeconds). A bad pack, level or version value gives the shipped
// stages and one line saying what is wrong; a level alone only chooses the
// level for new packs; a link from another generator version still opens its
// pack, with a line saying its stages differ from the sender's.
PageSet ChoosePageSet(const std::optional<std::string>& packText, const std::optional<std::string>& levelText,
                      const std::optional<std::string>& versionText, int64_t unixSeconds);

// What the page calls the pack: today's pack when its seed is today's.
std::string PackLabel(const PackId& pack, int64_t unixSeconds);
