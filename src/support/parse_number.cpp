// ParseNumber: strict decimal parsing, the whole text or nothing.
#include "support/parse_number.h"

#include <cerrno>
#include <cstdlib>

bool ParseNumber(const char* text, int64_t low, int64_t high, int64_t& value)
{
    if (text == nullptr || *text == '\0') return false;
    errno = 0;
    char* end = nullptr;
    long long parsed = std::strtoll(text, &end, 10);
    if (errno != 0 || *end != '\0' || parsed < low || parsed > high) return false;
    value = parsed;
    return true;
}
