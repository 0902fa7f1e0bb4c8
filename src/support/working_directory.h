// Moving the process into the directory whose data files it is to use, and reading user paths from where it started.
#pragma once

#include <string>

// Makes path the working directory; false when it cannot be entered.
bool EnterDirectory(const char* path);

// A path the user named on the command line, as seen from the directory the
// program was started in, even after it has moved into its data directory: a
// relative path is joined to that directory once the program has moved; "-",
// absolute paths, and any path while the program is still where it started
// come back unchanged (as they do when the starting directory is unknown).
std::string PathFromStart(const char* path);

enum class PathRules { Posix, Windows };

// path as seen from directory start under one system's rules: relative paths
// joined to start, absolute ones kept. Under Windows rules "\x" is taken from
// start's drive (or share), while drive-relative "D:x" and device names (NUL,
// CON, COM1, ...) are kept as they are, as the system reads them anywhere.
std::string PathSeenFrom(const std::string& start, const std::string& path, PathRules rules);
