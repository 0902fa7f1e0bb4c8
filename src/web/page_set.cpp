// ChoosePageSet: the address's pack, level and version values read through the pack store's own rules.
#include "web/page_set.h"

#include "authoring/stage_pack.h"
#include "support/parse_number.h"

namespace {
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

std::string PackLabel(const PackId& pack, int64_t unixSeconds)
{
    if (pack.seed == TodaysPackSeed(unixSeconds)) {
        std::string label = "Today's ";
        if (pack.level != PackLevel::normal) label.append(PackLevelName(pack.level)).append(" ");
        return label.append("pack (").append(PackSeedDate(pack.seed)).append(")");
    }
    return "Pack " + PackFolderName(pack);
}

PageSet ChoosePageSet(const std::optional<std::string>& packText, const std::optional<std::string>& levelText,
                      const std::optional<std::string>& versionText, int64_t unixSeconds)
{
    std::string error;
    if (!packText) {
        PackLevel level = PackLevel::normal;
        if (levelText && !ParseLevelChoice(*levelText, level, error)) return Shipped(error);
        PageSet set = Shipped("");
        if (levelText) set.chosenLevel = PackLevelName(level);
        return set;
    }
    PageSet set;
    if (!ChoosePack(*packText, levelText, unixSeconds, set.id, error)) return Shipped(error);
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
    set.name = PackFolderName(set.id);
    set.label = PackLabel(set.id, unixSeconds);
    set.chosenLevel = PackLevelName(set.id.level);
    return set;
}
