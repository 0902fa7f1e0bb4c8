// The window's command line, --seed, --record and --scale, read the same way by every windowed front end.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

constexpr int32_t maxWindowScale = 4;

struct WindowOptions {
    std::optional<uint32_t> seed;  // without one, the clock seeds the generator
    const char* recordPath = nullptr;
    int32_t scale = 1;  // the picture shown this many times larger, pixels kept square
};

// Returns an empty text on success, else why the arguments are bad.
std::string ParseWindowOptions(int argc, char** argv, WindowOptions& options);
