// ReadBoundedFile over POSIX: one open, an fstat, and reads that stop one byte past the cap.
#include "support/bounded_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {
constexpr size_t readChunk = 64 * 1024;

bool Fail(std::string& error, const char* path, const char* reason)
{
    error = std::string(path) + ": " + reason;
    return false;
}
}  // namespace

bool ReadBoundedFile(const char* path, std::string& bytes, std::string& error)
{
    bytes.clear();
    int descriptor = open(path, O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (descriptor < 0) return Fail(error, path, std::strerror(errno));
    struct stat status {};
    if (fstat(descriptor, &status) != 0) {
        int saved = errno;
        close(descriptor);
        return Fail(error, path, std::strerror(saved));
    }
    if (S_ISDIR(status.st_mode)) {
        close(descriptor);
        return Fail(error, path, "is a directory");
    }
    if (S_ISREG(status.st_mode) && status.st_size > maxInputFileBytes) {
        close(descriptor);
        return Fail(error, path, "too large");
    }
    const auto cap = static_cast<size_t>(maxInputFileBytes);
    for (;;) {
        size_t used = bytes.size();
        size_t room = std::min(readChunk, cap + 1 - used);
        bytes.resize(used + room);
        ssize_t got = read(descriptor, bytes.data() + used, room);
        if (got < 0 && errno == EINTR) {
            bytes.resize(used);
            continue;
        }
        if (got < 0) {
            int saved = errno;
            close(descriptor);
            bytes.clear();
            return Fail(error, path, std::strerror(saved));
        }
        bytes.resize(used + static_cast<size_t>(got));
        if (got == 0) break;
        if (bytes.size() > cap) {
            close(descriptor);
            bytes.clear();
            return Fail(error, path, "too large");
        }
    }
    close(descriptor);
    return true;
}
