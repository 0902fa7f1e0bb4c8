// --pack N|new|today|list for the game's windowed front ends: the request read, the pack made whole and entered.
#pragma once

#include <cstdint>
#include <string>

enum class PackRequestKind { Seed, New, Today, List };

struct PackRequest {
    PackRequestKind kind = PackRequestKind::Seed;
    uint32_t seed = 0;
};

// Reads "N", "new", "today" or "list"; on a fault error is one line for the player.
bool ParsePackRequest(const std::string& text, PackRequest& request, std::string& error);

// What HandlePackOption decided: go on (in the pack's folder, or where the
// game was when no --pack was given), or end now with exitCode.
struct PackOptionOutcome {
    bool proceed = true;
    int exitCode = 0;
};

// Takes --pack VALUE or --pack=VALUE out of argv (argc shrinks) and carries
// it out under dataDirectory/packs: list prints the packs and ends; new says
// "pack N" on stdout; N, new and today make the pack whole (a progress line
// on a terminal, mends said on stderr) and make its folder the working
// directory. Failures are one line on stderr, prefixed with program.
PackOptionOutcome HandlePackOption(int& argc, char** argv, const std::string& dataDirectory, const char* program);
