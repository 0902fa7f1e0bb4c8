// The one form of a complaint about a line of a text file: "FILE:LINE: what is wrong".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Sets error to the complaint and returns false, so a parser can return it directly.
inline bool FailAtLine(std::string& error, const char* name, int32_t line, const std::string& reason)
{
    error = std::string(name) + ":" + std::to_string(line) + ": " + reason;
    return false;
}

// A field of a hostile line, fit to quote in a complaint: at most 40 bytes of
// it, control bytes and the quote written as \xNN, "..." where it was cut.
inline std::string QuoteField(std::string_view field)
{
    constexpr size_t maxQuoted = 40;
    constexpr char digits[] = "0123456789abcdef";
    std::string quoted = "\"";
    for (size_t i = 0; i < field.size() && i < maxQuoted; ++i) {
        auto byte = static_cast<unsigned char>(field[i]);
        if (byte < 0x20 || byte == 0x7f || byte == '"' || byte == '\\') {
            quoted += "\\x";
            quoted += digits[byte >> 4];
            quoted += digits[byte & 15];
        } else {
            quoted += static_cast<char>(byte);
        }
    }
    if (field.size() > maxQuoted) quoted += "...";
    return quoted + "\"";
}
