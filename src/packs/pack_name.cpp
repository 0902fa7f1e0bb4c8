// Pack names: seeds parsed as players type them, folder names, and today's seed from the UTC calendar.
#include "packs/pack_name.h"

#include <cstdio>

namespace {
constexpr size_t shownTextLength = 24;  // a bad name is quoted up to this many characters
constexpr int64_t secondsPerDay = 86400;

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

std::string PackFolderName(uint32_t seed)
{
    return std::to_string(seed);
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
