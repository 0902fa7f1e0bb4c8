// File reads over POSIX: whole-file reads that never block, and what stands at a path.
#include "support/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

int32_t ReadFileBytes(const char* name, void* buffer, int32_t count)
{
    // O_NONBLOCK: opening a FIFO without a writer would otherwise wait forever.
    int descriptor = open(name, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (descriptor < 0) return 0;
    struct stat status {};
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(descriptor);
        return 0;
    }
    auto* bytes = static_cast<char*>(buffer);
    int32_t delivered = 0;
    while (delivered < count) {
        ssize_t got = read(descriptor, bytes + delivered, static_cast<size_t>(count - delivered));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        delivered += static_cast<int32_t>(got);
    }
    close(descriptor);
    return delivered;
}

FileStatus QueryFileStatus(const char* name)
{
    struct stat status {};
    if (stat(name, &status) != 0) {
        return {errno == ENOENT || errno == ENOTDIR ? FileKind::Missing : FileKind::Unreadable, 0};
    }
    if (!S_ISREG(status.st_mode)) return {FileKind::NotRegular, 0};
    return {FileKind::Regular, static_cast<int64_t>(status.st_size)};
}
