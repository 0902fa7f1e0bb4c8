// Pack names: levels and seeds parsed as players type them, folder names, and today's seed from the UTC calendar.
#include "packs/pack_name.h"

#include <cstdio>

namespace {
constexpr size_t shownTextLength = 24;  // a bad name is quoted up to this many characters
constexpr int64_t secondsPerDay = 86400;
constexpr char todayName[] = "today";

// The proleptic Gregorian date of a day counted from 1970-01-01, by whole-number arithmetic alone.
void CivilDate(int64_t days, int64_t& year, int64_t& month, int64_t& day)
{
    constexpr int64_t daysPerEra = 146097;  // 400 years
    days += 719468;                          // from 0000-03-01
    int64_t era = (days >= 0 ? days : days - (daysPerEra - 1)) / daysPerEra;
    int64_t dayOfEra = days - era * daysPerEra;
    int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;  // March is 0
    day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
    month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
    year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
}
}  // namespace

std::string QuotedValue(std::string_view text)
{
    std::string quoted = "'";
    quoted.append(text.substr(0, shownTextLength));
    if (text.size() <= shownTextLength) return quoted.append("'");
    return quoted.append("...' (").append(std::to_string(text.size())).append(" characters)");
}

bool ParsePackSeed(std::string_view text, uint32_t& seed, std::string& error)
{
    const std::string complaint = "a pack is a number from 0 to 4294967295, not " + QuotedValue(text);
    if (text.empty()) {
        error = "a pack is a number from 0 to 4294967295, and none was given";
        return false;
    }
    uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            error = complaint;
            return false;
        }
        value = value * 10 + static_cast<uint64_t>(c - '0');
        if (value > UINT32_MAX) {
            error = complaint;
            return false;
        }
    }
    seed = static_cast<uint32_t>(value);
    return true;
}

bool ParsePackName(std::string_view text, PackId& pack, std::string& error)
{
    PackId parsed;
    std::string_view number = text;
    size_t dash = text.find('-');
    if (dash != std::string_view::npos && dash > 0) {
        // normal has no prefix: a pack has one name.
        if (!ParsePackLevel(text.substr(0, dash), parsed.level) || parsed.level == PackLevel::normal) {
            parsed.level = PackLevel::normal;
        } else {
            number = text.substr(dash + 1);
        }
    }
    std::string why;
    if (!ParsePackSeed(number, parsed.seed, why)) {
        error = "a pack is N, hard-N or expert-N with N from 0 to 4294967295, not " + QuotedValue(text);
        return false;
    }
    pack = parsed;
    return true;
}

bool ParseLevelChoice(std::string_view text, PackLevel& level, std::string& error)
{
    if (ParsePackLevel(text, level)) return true;
    error = "a level is normal, hard or expert, not " + QuotedValue(text);
    return false;
}

namespace {
// A level chosen beside a pack's name, as in --pack 48213 --level hard: a
// plain number takes the chosen level; a name with a level of its own must
// name the same one, else error says they disagree.
bool ApplyLevelChoice(std::string_view name, PackLevel chosen, PackId& pack, std::string& error)
{
    if (!ParsePackName(name, pack, error)) return false;
    if (name.find('-') == std::string_view::npos) {
        pack.level = chosen;
        return true;
    }
    if (pack.level == chosen) return true;
    error = "pack " + PackFolderName(pack) + " is " + PackLevelName(pack.level) + ", not " + PackLevelName(chosen);
    return false;
}
}  // namespace

bool ChoosePack(std::string_view text, const std::optional<std::string>& levelText, int64_t unixSeconds, PackId& pack,
                std::string& error)
{
    PackLevel chosen = PackLevel::normal;
    if (levelText && !ParseLevelChoice(*levelText, chosen, error)) return false;
    if (text == todayName) {
        pack = {chosen, TodaysPackSeed(unixSeconds)};
        return true;
    }
    if (!levelText) return ParsePackName(text, pack, error);
    return ApplyLevelChoice(text, chosen, pack, error);
}

std::string PackFolderName(const PackId& pack)
{
    return PackName(pack.level, pack.seed);
}

uint32_t TodaysPackSeed(int64_t unixSeconds)
{
    int64_t days = unixSeconds >= 0 ? unixSeconds / secondsPerDay : -((-unixSeconds + secondsPerDay - 1) / secondsPerDay);
    int64_t year = 0;
    int64_t month = 0;
    int64_t day = 0;
    CivilDate(days, year, month, day);
    if (year < 0) year = 0;
    if (year > 9999) year = 9999;
    return static_cast<uint32_t>(year * 10000 + month * 100 + day);
}

std::string PackSeedDate(uint32_t seed)
{
    char date[16];
    std::snprintf(date, sizeof date, "%04u-%02u-%02u", seed / 10000, seed / 100 % 100, seed % 100);
    return date;
}
