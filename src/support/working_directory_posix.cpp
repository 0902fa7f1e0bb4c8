// EnterDirectory and PathFromStart over POSIX: chdir, and getcwd read before main runs.
#include "support/working_directory.h"

#include <unistd.h>

#include <climits>

namespace {
std::string CurrentDirectory()
{
    char buffer[PATH_MAX];
    return getcwd(buffer, sizeof buffer) != nullptr ? std::string(buffer) : std::string();
}

// Read as the program loads, before any front end moves into its data directory.
const std::string startDirectory = CurrentDirectory();
}  // namespace

bool EnterDirectory(const char* path)
{
    return chdir(path) == 0;
}

std::string PathFromStart(const char* path)
{
    if (startDirectory.empty() || CurrentDirectory() == startDirectory) return path;
    return PathSeenFrom(startDirectory, path, PathRules::Posix);
}
