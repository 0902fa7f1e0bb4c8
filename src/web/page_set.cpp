// ChoosePageSet: the address's pack and version values read through the pack store's own rules.
#include "web/page_set.h"

#include "authoring/stage_pack.h"
#include "packs/pack_name.h"
#include "support/parse_number.h"

namespace {
constexpr char todayValue[] = "today";
constexpr char shippedLabel[] = "Shipped stages";
constexpr int64_t highestVersion = 1000000;

PageSet Shipped(std::string note)
{
    PageSet set;
    set.label = shippedLabel;
    set.note = std::move(note);
    return set;
}
}  // namespace

std::string PackLabel(uint32_t seed, int64_t unixSeconds)
{
    if (seed == TodaysPackSeed(unixSeconds)) return "Today's pack (" + PackSeedDate(seed) + ")";
    return "Pack " + PackFolderName(seed);
}

PageSet ChoosePageSet(const std::optional<std::string>& packText, const std::optional<std::string>& versionText,
                      int64_t unixSeconds)
{
    if (!packText) return Shipped("");
    uint32_t seed = 0;
    if (*packText == todayValue) {
        seed = TodaysPackSeed(unixSeconds);
    } else {
        std::string error;
        if (!ParsePackSeed(*packText, seed, error)) return Shipped(error);
    }
    PageSet set;
    if (versionText) {
        int64_t version = 0;
        if (!ParseNumber(*versionText, 0, highestVersion, version)) {
            return Shipped("a link's generator version is a whole number, not " + QuotedValue(*versionText));
        }
        if (version != packGeneratorVersion) {
            set.note = "this link was made by generator version " + std::to_string(version) + " and this page has version " +
                       std::to_string(packGeneratorVersion) + ": these stages differ from the ones the sender played";
        }
    }
    set.pack = true;
    set.seed = seed;
    set.label = PackLabel(seed, unixSeconds);
    return set;
}
