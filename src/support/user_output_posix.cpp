// OpenUserOutput over POSIX: descriptors and streams written in place, regular files replaced beside their link's target.
#include "support/user_output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <string_view>

#include "support/parse_number.h"

namespace {
// As many links as the kernel itself follows before it gives up with ELOOP.
constexpr int maxLinkHops = 40;
constexpr int64_t maxDescriptor = 1 << 20;

// The descriptor a path names by itself: "-" and /dev/stdout are standard
// output, /dev/fd/N and /proc/self/fd/N are N. -1 for any other path.
int NamedDescriptor(std::string_view path)
{
    if (path == "-" || path == "/dev/stdout") return STDOUT_FILENO;
    if (path == "/dev/stderr") return STDERR_FILENO;
    for (std::string_view prefix : {std::string_view("/dev/fd/"), std::string_view("/proc/self/fd/")}) {
        int64_t descriptor = 0;
        if (path.starts_with(prefix) && ParseNumber(path.substr(prefix.size()), 0, maxDescriptor, descriptor)) {
            return static_cast<int>(descriptor);
        }
    }
    return -1;
}

// The path a chain of links ends at; the path itself when it is no link.
// The end may not exist yet: a dangling link is followed to the file it names.
bool FollowLinks(const char* path, std::string& target)
{
    target = path;
    for (int hop = 0; hop <= maxLinkHops; ++hop) {
        struct stat status {};
        if (lstat(target.c_str(), &status) != 0) return errno == ENOENT;
        if (!S_ISLNK(status.st_mode)) return true;
        char link[replacementPathLength];
        ssize_t length = readlink(target.c_str(), link, sizeof link - 1);
        if (length < 0) return false;
        std::string next(link, static_cast<size_t>(length));
        size_t slash = target.rfind('/');
        if (next.front() != '/' && slash != std::string::npos) next = target.substr(0, slash + 1) + next;
        target = next;
    }
    errno = ELOOP;
    return false;
}

bool OpenStream(UserOutput& output, int descriptor)
{
    output.stream = fdopen(descriptor, "wb");
    if (output.stream == nullptr) {
        int saved = errno;
        close(descriptor);
        errno = saved;
        return false;
    }
    output.streaming = true;
    return true;
}

bool OpenReplacement(UserOutput& output, const char* path)
{
    std::string target;
    if (!FollowLinks(path, target)) return false;
    struct stat existing {};
    bool exists = stat(target.c_str(), &existing) == 0;
    if (!BeginReplacement(output.replacement, target.c_str())) return false;
    // The new file keeps the mode of the one it replaces.
    if (exists) fchmod(fileno(output.replacement.stream), existing.st_mode & 07777);
    output.stream = output.replacement.stream;
    return true;
}
}  // namespace

bool OpenUserOutput(UserOutput& output, const char* path)
{
    output = {};
    int named = NamedDescriptor(path);
    if (named >= 0) {
        int descriptor = fcntl(named, F_DUPFD_CLOEXEC, 0);
        return descriptor >= 0 && OpenStream(output, descriptor);
    }
    struct stat status {};
    if (stat(path, &status) == 0 && !S_ISREG(status.st_mode)) {
        if (S_ISDIR(status.st_mode)) {
            errno = EISDIR;
            return false;
        }
        // A FIFO waits here for its reader, as it does for any writer.
        int descriptor = open(path, O_WRONLY | O_CLOEXEC | O_NOCTTY);
        return descriptor >= 0 && OpenStream(output, descriptor);
    }
    return OpenReplacement(output, path);
}
