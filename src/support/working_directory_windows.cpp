// EnterDirectory and PathFromStart on Windows: SetCurrentDirectoryA, and the directory read before WinMain runs.
#include "support/working_directory.h"

#include <windows.h>

namespace {
std::string CurrentDirectory()
{
    DWORD length = GetCurrentDirectoryA(0, nullptr);
    if (length == 0) return {};
    std::string directory(length, '\0');
    length = GetCurrentDirectoryA(length, directory.data());
    directory.resize(length < directory.size() ? length : 0);
    return directory;
}

// Read as the program loads, before the game moves into the player's directory.
const std::string startDirectory = CurrentDirectory();
}  // namespace

bool EnterDirectory(const char* path)
{
    return SetCurrentDirectoryA(path) != 0;
}

std::string PathFromStart(const char* path)
{
    if (startDirectory.empty() || CurrentDirectory() == startDirectory) return path;
    return PathSeenFrom(startDirectory, path, PathRules::Windows);
}
