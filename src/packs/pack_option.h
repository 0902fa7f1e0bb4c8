// --pack N|new|today|list for the game's windowed front ends: the request read, the pack made whole and entered.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class PackRequestKind { Seed, New, Today, List };

struct PackRequest {
    PackRequestKind kind = PackRequestKind::Seed;
    uint32_t seed = 0;
};

// Reads "N", "new", "today" or "list"; on a fault error is one line for the player.
bool ParsePackRequest(const std::string& text, PackRequest& request, std::string& error);

// What HandlePackOption decided: go on, in the pack's folder when directory
// is set (an absolute path), or end now with exitCode.
struct PackOptionOutcome {
    bool proceed = true;
    int exitCode = 0;
    std::string directory;
};

// Takes --pack VALUE or --pack=VALUE out of argv (argc shrinks) and carries
// it out under dataDirectory/packs: list prints the packs and ends; new and
// today say "pack N" on stdout; N, new and today make the pack whole (a
// progress line on a terminal, mends said on stderr) and name its folder,
// which the caller enters (the window) or hands on as --dir (the runner).
// Failures are one line on stderr, prefixed with program.
PackOptionOutcome HandlePackOption(int& argc, char** argv, const std::string& dataDirectory, const char* program);

// Whether the command line names the runner's directory itself: --dir DIR or --dir=DIR.
bool NamesDirectory(int argc, char** argv);

using GameEntry = int (*)(int argc, char** argv);

// The rest of a windowed front end's main, once it stands where the game's
// files are: --pack carried out, then the runner (handed the pack's folder as
// its --dir) or the window (in the pack's folder). A --pack beside the
// runner's own --dir names two places to play and is refused before anything
// is made.
int RunWithPackOption(int argc, char** argv, GameEntry runHeadless, GameEntry runWindow);
