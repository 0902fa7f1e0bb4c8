// ParseNumber: strict decimal parsing, the whole text or nothing.
#include "support/parse_number.h"

#include <charconv>

bool ParseNumber(std::string_view text, int64_t low, int64_t high, int64_t& value)
{
    if (text.empty()) return false;
    int64_t parsed = 0;
    const char* end = text.data() + text.size();
    auto [stop, problem] = std::from_chars(text.data(), end, parsed);
    if (problem != std::errc() || stop != end || parsed < low || parsed > high) return false;
    value = parsed;
    return true;
}
