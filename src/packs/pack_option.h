// --pack NAME|new|today|list [--level L] for the game's windowed front ends: the request read, the pack made whole and entered.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "packs/pack_name.h"

enum class PackRequestKind { Named, New, Today, List };

struct PackRequest {
    PackRequestKind kind = PackRequestKind::Named;
    PackId pack;  // the pack named, or today's at the time given; for new, only its level
};

// Reads --pack's value ("N", "hard-N", "expert-N", "new", "today" or "list")
// with --level's when one was given (levelText), by ChoosePack's rules; new
// takes the level too, list none. On a fault error is one line for the player.
bool ParsePackRequest(const std::string& text, const std::optional<std::string>& levelText, int64_t unixSeconds,
                      PackRequest& request, std::string& error);

// What HandlePackOption decided: go on, in the pack's folder when directory
// is set (an absolute path), or end now with exitCode.
struct PackOptionOutcome {
    bool proceed = true;
    int exitCode = 0;
    std::string directory;
};

// Takes --pack VALUE (and --level VALUE), or --pack=VALUE, out of argv (argc
// shrinks) and carries it out under dataDirectory/packs: list prints the
// packs and ends; new and today say "pack NAME" on stdout; the named pack,
// new and today make the pack whole (a
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
