// The one form of a complaint about a line of a text file: "FILE:LINE: what is wrong".
#pragma once

#include <cstdint>
#include <string>

// Sets error to the complaint and returns false, so a parser can return it directly.
inline bool FailAtLine(std::string& error, const char* name, int32_t line, const std::string& reason)
{
    error = std::string(name) + ":" + std::to_string(line) + ": " + reason;
    return false;
}
