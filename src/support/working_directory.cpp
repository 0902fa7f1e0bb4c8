// PathSeenFrom: joining a user's relative path to the directory it was named in, under POSIX or Windows rules.
#include "support/working_directory.h"

#include <array>
#include <cctype>
#include <string_view>

namespace {
bool IsWindowsSeparator(char c)
{
    return c == '\\' || c == '/';
}

bool HasDrive(std::string_view path)
{
    return path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) != 0 && path[1] == ':';
}

// The names Windows keeps for its devices in every directory, with or
// without an extension or a colon after them: NUL, NUL.txt and NUL: alike.
bool IsWindowsDeviceName(std::string_view path)
{
    for (char c : path) {
        if (IsWindowsSeparator(c)) return false;
    }
    std::string stem;
    for (char c : path.substr(0, path.find_first_of(".:"))) {
        stem += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    constexpr std::array<std::string_view, 6> plainDevices = {"NUL", "CON", "PRN", "AUX", "CONIN$", "CONOUT$"};
    for (std::string_view device : plainDevices) {
        if (stem == device) return true;
    }
    // COM1 to COM9 and LPT1 to LPT9.
    constexpr size_t numberedLength = 4;
    return stem.size() == numberedLength && (stem.starts_with("COM") || stem.starts_with("LPT")) && stem[3] >= '1' &&
           stem[3] <= '9';
}

// Where "\x" starts: the drive of start ("C:"), or its share ("\\server\share").
std::string WindowsRoot(const std::string& start)
{
    if (HasDrive(start)) return start.substr(0, 2);
    if (start.size() > 2 && IsWindowsSeparator(start[0]) && IsWindowsSeparator(start[1])) {
        size_t server = start.find_first_of("\\/", 2);
        if (server == std::string::npos) return start;
        size_t share = start.find_first_of("\\/", server + 1);
        return share == std::string::npos ? start : start.substr(0, share);
    }
    return {};
}

std::string Joined(const std::string& start, const std::string& path, char separator)
{
    if (!start.empty() && (start.back() == separator || start.back() == '/')) return start + path;
    return start + separator + path;
}
}  // namespace

std::string PathSeenFrom(const std::string& start, const std::string& path, PathRules rules)
{
    if (start.empty() || path.empty() || path == "-") return path;
    if (rules == PathRules::Posix) return path.front() == '/' ? path : Joined(start, path, '/');
    if (HasDrive(path) || IsWindowsDeviceName(path)) return path;
    if (IsWindowsSeparator(path.front())) {
        bool share = path.size() > 1 && IsWindowsSeparator(path[1]);
        return share ? path : WindowsRoot(start) + path;
    }
    return Joined(start, path, '\\');
}
